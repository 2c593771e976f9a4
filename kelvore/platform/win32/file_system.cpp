#include "kelvore/platform/file_system.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <optional>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/base/win32/long_path.h"
#include "kelvore/tool/output_path.h"
#include "kelvore/tool/read_back_alignment.h"
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
      throw IoError(
          Joined({"Reading ", Printable(what), " failed at offset ", Hex(offset), ": ", Reason()}));
    }
    if (count == 0) {
      throw IoError(Joined({"Reading ", Printable(what), " failed at offset ", Hex(offset),
                            ": the file ended early."}));
    }
    out = out.subspan(count);
    offset += count;
  }
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// The change time (Vista and later) moves on any change to the file, its attributes
// included, and unlike the last-write time cannot be set back by a program.
bool GetChangeTime(HANDLE file, LARGE_INTEGER& change_time) {
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) return false;
  change_time = basic.ChangeTime;
  return true;
}

class SourceFile : public SourceImage {
 public:
  SourceFile(UniqueFileHandle file, const BY_HANDLE_FILE_INFORMATION& opened,
             LARGE_INTEGER opened_change_time, std::string path)
      : file_(std::move(file)),
        opened_(opened),
        opened_change_time_(opened_change_time),
        path_(std::move(path)) {}

  std::uint64_t Size() const override {
    return (std::uint64_t{opened_.nFileSizeHigh} << 32) | opened_.nFileSizeLow;
  }

  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    ReadExactly(file_.Get(), offset, out, path_);
  }

  // Opening for no access at all works whatever the file's sharing, folders included.
  bool IsFileAt(const std::string& path) const override {
    const UniqueFileHandle other(CreateFileW(
        LongPathForm(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    return other && GetFileInformationByHandle(other.Get(), &information) &&
           SameFile(information, opened_);
  }

  // Nobody can write the file while it is open here: it is opened without write sharing,
  // which fails while another program holds it for writing. Its times and attributes may
  // still be set.
  bool ChangedSinceOpened() const override {
    BY_HANDLE_FILE_INFORMATION now{};
    LARGE_INTEGER change_time{};
    if (!GetFileInformationByHandle(file_.Get(), &now) ||
        !GetChangeTime(file_.Get(), change_time)) {
      return true;
    }
    return now.nFileSizeHigh != opened_.nFileSizeHigh || now.nFileSizeLow != opened_.nFileSizeLow ||
           CompareFileTime(&now.ftLastWriteTime, &opened_.ftLastWriteTime) != 0 ||
           change_time.QuadPart != opened_change_time_.QuadPart;
  }

 private:
  UniqueFileHandle file_;
  BY_HANDLE_FILE_INFORMATION opened_;
  LARGE_INTEGER opened_change_time_;
  std::string path_;
};

// FILE_STORAGE_INFO and its information class, which Windows 8 brought and the headers declare
// only for programs that require it.
constexpr int kFileStorageInfoClass = 16;
struct FileStorageInformation {
  ULONG logical_bytes_per_sector;  // the smallest unit unbuffered reads take
  ULONG physical_bytes_per_sector_for_atomicity;
  ULONG physical_bytes_per_sector_for_performance;
  ULONG file_system_effective_physical_bytes_per_sector_for_atomicity;
  ULONG flags;
  ULONG byte_offset_for_sector_alignment;
  ULONG byte_offset_for_partition_alignment;
};

// The sector size the file's own handle reports: from Windows 8 on. Windows 7 does not know
// the class and Wine does not implement it; both fail the call.
std::optional<std::uint64_t> SectorSizeOfFile(HANDLE file) {
  FileStorageInformation storage{};
  if (!GetFileInformationByHandleEx(file,
                                    static_cast<FILE_INFO_BY_HANDLE_CLASS>(kFileStorageInfoClass),
                                    &storage, sizeof storage)) {
    return std::nullopt;
  }
  return storage.logical_bytes_per_sector;
}

std::optional<std::uint64_t> SectorSizeOfVolume(const std::wstring& system_path) {
  std::wstring volume(system_path.size() + 1, L'\0');
  DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
  if (!GetVolumePathNameW(system_path.c_str(), volume.data(), static_cast<DWORD>(volume.size())) ||
      !GetDiskFreeSpaceW(volume.c_str(), &sectors_per_cluster, &bytes_per_sector, &free_clusters,
                         &clusters)) {
    return std::nullopt;
  }
  return bytes_per_sector;
}

// Unbuffered reads take offsets and lengths that are multiples of the sector size, into
// buffers aligned to it. The buffers are aligned to the largest sector size the reader keeps
// to, whatever the lookup said: a lookup that failed, and assumed 4,096 bytes, then cannot
// make every read fail on a volume with larger sectors.
class ReadBackFile : public StorageReader {
 public:
  ReadBackFile(UniqueFileHandle file, std::string path, std::size_t sector_size, bool unbuffered)
      : file_(std::move(file)),
        path_(std::move(path)),
        sector_size_(sector_size),
        unbuffered_(unbuffered) {}

  std::size_t SectorSize() const override { return sector_size_; }
  std::size_t BufferAlignment() const override { return kLargestSectorSize; }
  bool BypassesCache() const override { return unbuffered_; }
  std::uint64_t Size() const override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.Get(), &size)) {
      throw IoError(
          Joined({"Cannot tell the size of ", Printable(path_), " to verify it: ", Reason()}));
    }
    return static_cast<std::uint64_t>(size.QuadPart);
  }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) override {
    ReadExactly(file_.Get(), offset, out, path_);
  }

 private:
  UniqueFileHandle file_;
  std::string path_;
  std::size_t sector_size_;
  bool unbuffered_;
};

UniqueFileHandle OpenForReadBack(const std::wstring& system_path, DWORD flags) {
  // The writing handle stays open: it has to be let in.
  return UniqueFileHandle(CreateFileW(system_path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      flags | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// FILE_FLAG_NO_BUFFERING reads from the storage, past the system's cache, once the data is
// flushed. Where the storage's sectors do not suit the reader or the file system refuses
// unbuffered access, it reads through the cache, which Windows offers no way to drop: the
// read-back is then best effort.
std::unique_ptr<StorageReader> OpenReadBackFile(const std::wstring& system_path,
                                                const std::string& path) {
  if (UniqueFileHandle unbuffered = OpenForReadBack(system_path, FILE_FLAG_NO_BUFFERING)) {
    const std::optional<std::size_t> sector_size =
        ChooseSectorSize([&] { return SectorSizeOfFile(unbuffered.Get()); },
                         [&] { return SectorSizeOfVolume(system_path); });
    if (sector_size) {
      return std::make_unique<ReadBackFile>(std::move(unbuffered), path, *sector_size, true);
    }
  }
  UniqueFileHandle buffered = OpenForReadBack(system_path, 0);
  if (!buffered) {
    throw IoError(Joined({"Cannot open ", Printable(path), " to verify it: ", Reason()}));
  }
  return std::make_unique<ReadBackFile>(std::move(buffered), path, kLeastSectorSize, false);
}

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

  void SetSize(std::uint64_t size) override {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFileInformationByHandle(file_.Get(), FileEndOfFileInfo, &end, sizeof end)) {
      throw IoError(
          Joined({"Extending ", Printable(path_), " to ", ByteCount(size), " failed: ", Reason()}));
    }
  }

  void WriteAt(std::uint64_t offset, std::span<const std::byte> data) override {
    while (!data.empty()) {
      OVERLAPPED position = At(offset);
      DWORD count = 0;
      if (!WriteFile(file_.Get(), data.data(), TransferSize(data.size()), &count, &position)) {
        throw IoError(Joined(
            {"Writing ", Printable(path_), " failed at offset ", Hex(offset), ": ", Reason()}));
      }
      data = data.subspan(count);
      offset += count;
    }
  }

  // Windows has no way to start writing part of a file back without waiting for it: each
  // wait flushes all that was written so far, which is the one window since the last.
  void StartWriteBack(std::uint64_t, std::uint64_t) override {}
  void WaitForWriteBack(std::uint64_t, std::uint64_t) override { Flush(); }

  void Flush() override {
    if (!FlushFileBuffers(file_.Get())) {
      throw IoError(Joined({"Saving ", Printable(path_), " to the disk failed: ", Reason()}));
    }
  }

  std::unique_ptr<StorageReader> OpenReadBack() override {
    return OpenReadBackFile(system_path_, path_);
  }

  // Without MOVEFILE_REPLACE_EXISTING the move fails rather than replace a file. Within one
  // folder it is a rename, which NTFS records in its journal: after a crash the image has
  // either its unfinished or its final name, and under either name all its data, flushed
  // before. Windows offers no flush of a folder's names to programs without administrator
  // rights, so the new name itself may be lost to a power failure right after this.
  void CommitAs(const std::string& final_path) override {
    file_.Reset();
    if (!MoveFileExW(system_path_.c_str(), LongPathForm(final_path).c_str(), 0)) {
      const DWORD error = GetLastError();
      if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        throw IoError(OutputExistsMessage(final_path));
      }
      throw IoError(Joined({"Renaming ", Printable(path_), " to ", Printable(final_path),
                            " failed: ", SystemMessage(error)}));
    }
    committed_ = true;
  }

 private:
  UniqueFileHandle file_;
  std::string path_;
  std::wstring system_path_;
  bool committed_ = false;
};

// Windows refuses to open a folder as a file with "Access is denied"; say what it is.
std::string OpenFailureMessage(const std::string& path, const std::wstring& system_path,
                               DWORD error) {
  if (error == ERROR_ACCESS_DENIED && IsFolderAt(system_path)) {
    return NotAnImageFileMessage(path, "a folder");
  }
  if (error == ERROR_SHARING_VIOLATION) {
    return Joined({"Cannot open ", Printable(path),
                   ": another program is using it and keeps others from reading it (sharing "
                   "violation). Close it there and try again."});
  }
  return Joined({"Cannot open ", Printable(path), ": ", SystemMessage(error)});
}

}  // namespace

std::unique_ptr<SourceImage> OpenSourceImage(const std::string& path) {
  const std::wstring system_path = LongPathForm(path);
  UniqueFileHandle file(CreateFileW(system_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) throw IoError(OpenFailureMessage(path, system_path, GetLastError()));
  const DWORD type = GetFileType(file.Get());
  if (type == FILE_TYPE_CHAR) throw IoError(NotAnImageFileMessage(path, "a device"));
  BY_HANDLE_FILE_INFORMATION opened{};
  if (type != FILE_TYPE_DISK || !GetFileInformationByHandle(file.Get(), &opened)) {
    throw IoError(Printable(path) + " is not a regular file.");
  }
  LARGE_INTEGER change_time{};
  if (!GetChangeTime(file.Get(), change_time)) {
    throw IoError(Joined({"Cannot open ", Printable(path), ": ", Reason()}));
  }
  return std::make_unique<SourceFile>(std::move(file), opened, change_time, path);
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  // Shared for reading only, so that the verification can read it back through a handle
  // of its own.
  UniqueFileHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      throw IoError(PartExistsMessage(path));
    }
    throw IoError(Joined({"Cannot create ", Printable(path), ": ", SystemMessage(error)}));
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
