#include "kelvore/platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/platform/posix/naming.h"
#include "kelvore/platform/posix/posix_io.h"
#include "kelvore/platform/posix/read_back.h"
#include "kelvore/tool/output_path.h"
#include "platform/posix/unique_descriptor.h"

namespace kelvore {
namespace {

using platform::posix::UniqueDescriptor;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

class SourceFile : public SourceImage {
 public:
  SourceFile(UniqueDescriptor fd, const struct stat& opened, std::string path)
      : fd_(std::move(fd)), opened_(opened), path_(std::move(path)) {}

  std::uint64_t Size() const override { return static_cast<std::uint64_t>(opened_.st_size); }

  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    ReadExactly(fd_.Get(), offset, out, path_);
  }

  bool IsFileAt(const std::string& path) const override {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && SameFile(status, opened_);
  }

  // A writer can set the last-write time back (touch -r), but not the status-change time.
  bool ChangedSinceOpened() const override {
    struct stat now {};
    if (fstat(fd_.Get(), &now) != 0) return true;
    return now.st_size != opened_.st_size || !SameTime(now.st_mtim, opened_.st_mtim) ||
           !SameTime(now.st_ctim, opened_.st_ctim);
  }

 private:
  UniqueDescriptor fd_;
  struct stat opened_;
  std::string path_;
};

class PartFile : public OutputFile {
 public:
  PartFile(UniqueDescriptor fd, std::string path, NamingCalls naming)
      : fd_(std::move(fd)), path_(std::move(path)), naming_(std::move(naming)) {}
  ~PartFile() override {
    if (committed_) return;
    fd_.Close();
    unlink(path_.c_str());
  }
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  void SetSize(std::uint64_t size) override {
    if (ftruncate(fd_.Get(), static_cast<off_t>(size)) != 0) {
      Fail("Extending " + Printable(path_) + " to " + ByteCount(size));
    }
  }

  void WriteAt(std::uint64_t offset, std::span<const std::byte> data) override {
    while (!data.empty()) {
      const ssize_t count = pwrite(fd_.Get(), data.data(), data.size(), static_cast<off_t>(offset));
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) Fail("Writing " + Printable(path_) + " at offset " + Hex(offset));
      data = data.subspan(static_cast<std::size_t>(count));
      offset += static_cast<std::uint64_t>(count);
    }
  }

#ifdef __linux__
  void StartWriteBack(std::uint64_t offset, std::uint64_t length) override {
    SyncRange(offset, length, SYNC_FILE_RANGE_WRITE);
  }
  void WaitForWriteBack(std::uint64_t offset, std::uint64_t length) override {
    SyncRange(offset, length,
              SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
  }
#else
  void StartWriteBack(std::uint64_t, std::uint64_t) override {}
  void WaitForWriteBack(std::uint64_t, std::uint64_t) override {
    if (fdatasync(fd_.Get()) != 0) Fail("Saving " + Printable(path_) + " to the disk");
  }
#endif

  void Flush() override {
    if (fsync(fd_.Get()) != 0) Fail("Saving " + Printable(path_) + " to the disk");
  }

  std::unique_ptr<StorageReader> OpenReadBack() override { return OpenReadBackFile(path_); }

  void CommitAs(const std::string& final_path) override {
    if (!fd_.Close()) Fail("Closing " + Printable(path_));
    try {
      NameWithoutReplacing(path_, final_path, naming_);
    } catch (const FinishedImageError&) {
      committed_ = true;  // the image has its final name: the unfinished one is not removed
      throw;
    }
    committed_ = true;
    FlushFolderOf(final_path);
  }

 private:
#ifdef __linux__
  void SyncRange(std::uint64_t offset, std::uint64_t length, unsigned int flags) {
    if (sync_file_range(fd_.Get(), static_cast<off_t>(offset), static_cast<off_t>(length), flags) !=
        0) {
      Fail("Saving " + Printable(path_) + " to the disk");
    }
  }
#endif

  [[noreturn]] static void Fail(const std::string& action) {
    throw IoError(action + " failed: " + Reason());
  }

  UniqueDescriptor fd_;
  std::string path_;
  NamingCalls naming_;
  bool committed_ = false;
};

}  // namespace

// Opening does not wait for a writer when the path names a pipe; it is then refused.
std::unique_ptr<SourceImage> OpenSourceImage(const std::string& path) {
  UniqueDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) throw IoError("Cannot open " + Printable(path) + ": " + Reason());
  struct stat status {};
  if (fstat(fd.Get(), &status) != 0) {
    throw IoError("Cannot open " + Printable(path) + ": " + Reason());
  }
  if (S_ISREG(status.st_mode)) return std::make_unique<SourceFile>(std::move(fd), status, path);
  if (S_ISDIR(status.st_mode)) throw IoError(NotAnImageFileMessage(path, "a folder"));
  if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) {
    throw IoError(NotAnImageFileMessage(path, "a device"));
  }
  throw IoError(Printable(path) + " is not a regular file.");
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path, NamingCalls calls) {
  UniqueDescriptor fd(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (fd) return std::make_unique<PartFile>(std::move(fd), path, std::move(calls));
  if (errno == EEXIST) throw IoError(PartExistsMessage(path));
  throw IoError("Cannot create " + Printable(path) + ": " + Reason());
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  return CreateOutputFile(path, SystemNamingCalls());
}

bool PathExists(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

}  // namespace kelvore
