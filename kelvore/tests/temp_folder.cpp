#include "kelvore/tests/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/system_message.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#endif

namespace kelvore::testkit {
namespace {

namespace fs = std::filesystem;

// Each function below removes the folder with everything in it and returns what kept it from
// going, or nothing.
#ifdef _WIN32
// std::filesystem cannot reach paths past 260 characters here, even with the \\?\ prefix.
std::string RemoveTree(const std::wstring& folder) {
  using platform::win32::SystemMessage;
  WIN32_FIND_DATAW found{};
  const platform::win32::UniqueFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
  for (bool more = static_cast<bool>(search); more; more = FindNextFileW(search.Get(), &found)) {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring entry = folder + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (std::string failure = RemoveTree(entry); !failure.empty()) return failure;
    } else if (!DeleteFileW(entry.c_str())) {
      return platform::win32::Narrow(name) + ": " + SystemMessage(GetLastError());
    }
  }
  if (!RemoveDirectoryW(folder.c_str())) return SystemMessage(GetLastError());
  return {};
}

std::string RemoveFolder(const std::string& folder) {
  return RemoveTree(L"\\\\?\\" + platform::win32::Widen(folder));
}
#else
std::string RemoveFolder(const std::string& folder) {
  std::error_code error;
  fs::remove_all(folder, error);
  return error ? error.message() : std::string();
}
#endif

}  // namespace

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path path = fs::temp_directory_path() /
                        ("kelvore-test-" + std::to_string(stamp) + "-" + std::to_string(++counter));
  fs::create_directories(path);
  path_ = path.string();
}

// A folder that stays behind fails the test that made it: something still holds one of its
// files, and later runs would pile up copies of its images.
TempFolder::~TempFolder() {
  if (const std::string failure = RemoveFolder(path_); !failure.empty()) {
    ADD_FAILURE() << "The test folder " << path_ << " stays behind: " << failure;
  }
}

std::string TempFolder::PathOf(const std::string& name) const {
  return (fs::path(path_) / name).string();
}

std::vector<std::string> TempFolder::Entries() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::byte> ReadFileRange(const std::string& path, std::uint64_t offset,
                                     std::size_t length) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  std::vector<std::byte> bytes(length);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
  if (!in) throw std::runtime_error("cannot read " + path);
  return bytes;
}

std::vector<std::byte> ReadFileBytes(const std::string& path) {
  return ReadFileRange(path, 0, static_cast<std::size_t>(FileSize(path)));
}

std::uint64_t FileSize(const std::string& path) { return fs::file_size(path); }

void WriteFileBytes(const std::string& path, const std::vector<std::byte>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace kelvore::testkit
