#include "platform/binary_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/error_numbers.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

class Win32ReadOnlyFile final : public ReadOnlyFile {
 public:
  Win32ReadOnlyFile(win32::UniqueFileHandle file, std::string path)
      : file_(std::move(file)), path_(std::move(path)) {}

  std::int64_t Length() override {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file_.Get(), &size)) throw win32::FileError(::GetLastError(), path_);
    return size.QuadPart;
  }

  void Read(std::span<std::uint8_t> buffer) override {
    while (!buffer.empty()) {
      const DWORD wanted = static_cast<DWORD>(std::min<size_t>(buffer.size(), 1u << 30));
      DWORD got = 0;
      if (!::ReadFile(file_.Get(), buffer.data(), wanted, &got, nullptr)) {
        throw win32::FileError(::GetLastError(), path_);
      }
      if (got == 0) throw win32::FileError(ERROR_HANDLE_EOF, path_);
      buffer = buffer.subspan(got);
    }
  }

 private:
  win32::UniqueFileHandle file_;
  std::string path_;
};

class Win32FileOpener final : public FileOpener {
 public:
  std::unique_ptr<ReadOnlyFile> OpenForBinaryRead(const std::string& path) override {
    win32::UniqueFileHandle file(::CreateFileW(win32::Widen(path).c_str(), GENERIC_READ,
                                               FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) throw win32::FileError(::GetLastError(), path);
    return std::make_unique<Win32ReadOnlyFile>(std::move(file), path);
  }
};

}  // namespace

FileOpener& SystemFileOpener() {
  static Win32FileOpener opener;
  return opener;
}

}  // namespace platform
