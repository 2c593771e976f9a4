#include "kelvore/tests/temp_folder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kelvore::testkit {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path path = fs::temp_directory_path() /
                        ("kelvore-test-" + std::to_string(stamp) + "-" + std::to_string(++counter));
  fs::create_directories(path);
  path_ = path.string();
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
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
