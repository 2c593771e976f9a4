#include "kelvore/platform/file_system.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>

#include "kelvore/disc/errors.h"
#include "kelvore/disc/text_format.h"
#include "kelvore/platform/win32/wide_text.h"
#include "kelvore/tool/output_path.h"

namespace kelvore {
namespace {

// ReadFile and WriteFile move at most this much per call.
constexpr std::uint64_t kMaxTransfer = 1u << 30;

std::string Reason() { return SystemErrorText(GetLastError()); }

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

DWORD TransferSize(std::size_t remaining) {
  return static_cast<DWORD>(std::min<std::uint64_t>(remaining, kMaxTransfer));
}

// Reads exactly `out` at `offset`; `what` names the file in messages.
void ReadExactly(HANDLE handle, std::uint64_t offset, std::span<std::byte> out,
                 const std::string& what) {
  while (!out.empty()) {
    OVERLAPPED position = At(offset);
    DWORD count = 0;
    // A positioned read at the end of the file fails with ERROR_HANDLE_EOF.
    if (!ReadFile(handle, out.data(), TransferSize(out.size()), &count, &position) &&
        GetLastError() != ERROR_HANDLE_EOF) {
      throw IoError("Reading " + what + " failed at offset " + Hex(offset) + ": " + Reason());
    }
    if (count == 0) {
      throw IoError("Reading " + what + " failed at offset " + Hex(offset) +
                    ": the file ended early. Was it changed during the rebuild?");
    }
    out = out.subspan(count);
    offset += count;
  }
}

class SourceFile : public ByteSource {
 public:
  SourceFile(HANDLE handle, std::uint64_t size, std::string path)
      : handle_(handle), size_(size), path_(std::move(path)) {}
  ~SourceFile() override { CloseHandle(handle_); }
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  std::uint64_t Size() const override { return size_; }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    ReadExactly(handle_, offset, out, path_);
  }

 private:
  HANDLE handle_;
  std::uint64_t size_;
  std::string path_;
};

class PartFile : public OutputFile {
 public:
  PartFile(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~PartFile() override {
    if (committed_) return;
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    DeleteFileW(Utf8ToWide(path_).c_str());
  }
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  void WriteAt(std::uint64_t offset, std::span<const std::byte> data) override {
    while (!data.empty()) {
      OVERLAPPED position = At(offset);
      DWORD count = 0;
      if (!WriteFile(handle_, data.data(), TransferSize(data.size()), &count, &position)) {
        throw IoError("Writing " + path_ + " failed at offset " + Hex(offset) + ": " + Reason());
      }
      data = data.subspan(count);
      offset += count;
    }
  }

  void ReadAt(std::uint64_t offset, std::span<std::byte> out) override {
    ReadExactly(handle_, offset, out, path_);
  }

  void SetSize(std::uint64_t size) override {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end)) {
      throw IoError("Extending " + path_ + " to " + GroupedDecimal(size) +
                    " bytes failed: " + Reason());
    }
  }

  void Flush() override {
    if (!FlushFileBuffers(handle_)) throw IoError("Flushing " + path_ + " failed: " + Reason());
  }

  void CommitAs(const std::string& final_path) override {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    // Without MOVEFILE_REPLACE_EXISTING the move fails rather than replace a file.
    if (!MoveFileExW(Utf8ToWide(path_).c_str(), Utf8ToWide(final_path).c_str(),
                     MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        throw IoError(OutputExistsMessage(final_path));
      }
      throw IoError("Renaming " + path_ + " to " + final_path +
                    " failed: " + SystemErrorText(error));
    }
    committed_ = true;
  }

 private:
  HANDLE handle_;
  std::string path_;
  bool committed_ = false;
};

}  // namespace

std::unique_ptr<ByteSource> OpenSourceImage(const std::string& path) {
  const HANDLE handle =
      CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw IoError("Cannot open " + path + ": " + Reason());
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size) || GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    throw IoError(path + " is not a regular file.");
  }
  return std::make_unique<SourceFile>(handle, static_cast<std::uint64_t>(size.QuadPart), path);
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  const HANDLE handle = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      throw IoError(PartExistsMessage(path));
    }
    throw IoError("Cannot create " + path + ": " + SystemErrorText(error));
  }
  // Sparse files keep the image's zero areas as holes; where the file system has no such
  // thing the zeros are simply written out.
  DWORD unused = 0;
  DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
  return std::make_unique<PartFile>(handle, path);
}

bool PathExists(const std::string& path) {
  return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kelvore
