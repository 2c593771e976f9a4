#include "kelvore/platform/file_system.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>

#include "kelvore/disc/errors.h"
#include "kelvore/disc/text_format.h"
#include "kelvore/platform/win32/long_path.h"
#include "kelvore/tool/output_path.h"
#include "platform/win32/system_message.h"
#include "platform/win32/unique_handle.h"

namespace kelvore {
namespace {

using platform::win32::SystemMessage;
using platform::win32::UniqueFileHandle;

// ReadFile and WriteFile move at most this much per call.
constexpr std::uint64_t kMaxTransfer = 1u << 30;

std::string Reason() { return SystemMessage(GetLastError()); }

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
  SourceFile(UniqueFileHandle file, std::uint64_t size, std::string path)
      : file_(std::move(file)), size_(size), path_(std::move(path)) {}

  std::uint64_t Size() const override { return size_; }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    ReadExactly(file_.Get(), offset, out, path_);
  }

 private:
  UniqueFileHandle file_;
  std::uint64_t size_;
  std::string path_;
};

class PartFile : public OutputFile {
 public:
  PartFile(UniqueFileHandle file, std::string path)
      : file_(std::move(file)), path_(std::move(path)), system_path_(LongPathForm(path_)) {}
  ~PartFile() override {
    if (committed_) return;
    file_.Reset();
    DeleteFileW(system_path_.c_str());
  }
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  void WriteAt(std::uint64_t offset, std::span<const std::byte> data) override {
    while (!data.empty()) {
      OVERLAPPED position = At(offset);
      DWORD count = 0;
      if (!WriteFile(file_.Get(), data.data(), TransferSize(data.size()), &count, &position)) {
        throw IoError("Writing " + path_ + " failed at offset " + Hex(offset) + ": " + Reason());
      }
      data = data.subspan(count);
      offset += count;
    }
  }

  void ReadAt(std::uint64_t offset, std::span<std::byte> out) override {
    ReadExactly(file_.Get(), offset, out, path_);
  }

  void SetSize(std::uint64_t size) override {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFileInformationByHandle(file_.Get(), FileEndOfFileInfo, &end, sizeof end)) {
      throw IoError("Extending " + path_ + " to " + GroupedDecimal(size) +
                    " bytes failed: " + Reason());
    }
  }

  void Flush() override {
    if (!FlushFileBuffers(file_.Get())) throw IoError("Flushing " + path_ + " failed: " + Reason());
  }

  void CommitAs(const std::string& final_path) override {
    file_.Reset();
    // Without MOVEFILE_REPLACE_EXISTING the move fails rather than replace a file.
    if (!MoveFileExW(system_path_.c_str(), LongPathForm(final_path).c_str(),
                     MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        throw IoError(OutputExistsMessage(final_path));
      }
      throw IoError("Renaming " + path_ + " to " + final_path + " failed: " + SystemMessage(error));
    }
    committed_ = true;
  }

 private:
  UniqueFileHandle file_;
  std::string path_;
  std::wstring system_path_;
  bool committed_ = false;
};

bool IsFolder(const std::wstring& system_path) {
  const DWORD attributes = GetFileAttributesW(system_path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Windows refuses to open a folder as a file with "Access is denied"; say what it is.
std::string OpenFailureMessage(const std::string& path, const std::wstring& system_path,
                               DWORD error) {
  if (error == ERROR_ACCESS_DENIED && IsFolder(system_path)) {
    return NotAnImageFileMessage(path, "a folder");
  }
  if (error == ERROR_SHARING_VIOLATION) {
    return "Cannot open " + path +
           ": another program is using it and keeps others from reading it (sharing "
           "violation). Close it there and try again.";
  }
  return "Cannot open " + path + ": " + SystemMessage(error);
}

}  // namespace

std::unique_ptr<ByteSource> OpenSourceImage(const std::string& path) {
  const std::wstring system_path = LongPathForm(path);
  UniqueFileHandle file(CreateFileW(system_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) throw IoError(OpenFailureMessage(path, system_path, GetLastError()));
  const DWORD type = GetFileType(file.Get());
  if (type == FILE_TYPE_CHAR) throw IoError(NotAnImageFileMessage(path, "a device"));
  LARGE_INTEGER size{};
  if (type != FILE_TYPE_DISK || !GetFileSizeEx(file.Get(), &size)) {
    throw IoError(path + " is not a regular file.");
  }
  return std::make_unique<SourceFile>(std::move(file), static_cast<std::uint64_t>(size.QuadPart),
                                      path);
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  UniqueFileHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      throw IoError(PartExistsMessage(path));
    }
    throw IoError("Cannot create " + path + ": " + SystemMessage(error));
  }
  // Sparse files keep the image's zero areas as holes; where the file system has no such
  // thing the zeros are simply written out.
  DWORD unused = 0;
  DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
  return std::make_unique<PartFile>(std::move(file), path);
}

bool PathExists(const std::string& path) {
  return GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kelvore
