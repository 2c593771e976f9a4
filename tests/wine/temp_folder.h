#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace testing_support {

// A fresh folder under the user's temporary folder, removed with its contents at the end.
// Names are UTF-8, as the program holds them.
class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "corvane ") {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            std::filesystem::u8path(prefix + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error)) {
      ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(path_, error);
    if (error) ADD_FAILURE() << "cannot remove " << path_ << ": " << error.message();
  }

  std::filesystem::path Path(const std::string& name = "") const {
    return name.empty() ? path_ : path_ / std::filesystem::u8path(name);
  }
  std::string Utf8(const std::string& name = "") const {
    const auto text = Path(name).u8string();
    return std::string(text.begin(), text.end());
  }
  std::string File(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Utf8(name);
  }
  // A sparse file of that length: only its size matters.
  std::string SparseFile(const std::string& name, std::int64_t length) const {
    HANDLE file = ::CreateFileW(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD returned = 0;
    ::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = length;
    ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    ::SetEndOfFile(file);
    ::CloseHandle(file);
    return Utf8(name);
  }

 private:
  std::filesystem::path path_;
};

}  // namespace testing_support
