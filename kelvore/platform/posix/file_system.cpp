#include "kelvore/platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/tool/output_path.h"

namespace kelvore {
namespace {

// Direct reads need offsets, lengths and buffers aligned to the device's logical block,
// which is 512 or 4,096 bytes on the devices Linux supports for them.
constexpr std::size_t kDirectReadAlignment = 4096;

std::string Reason() { return std::strerror(errno); }

// An open file descriptor, closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

  // Hands the descriptor over to the caller.
  int Release() { return std::exchange(fd_, -1); }

  // Closes it now; false, with errno set, when closing reported a failure.
  bool Close() {
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

// Reads exactly `out` at `offset`; `what` names the file in messages.
void ReadExactly(int fd, std::uint64_t offset, std::span<std::byte> out, const std::string& what) {
  while (!out.empty()) {
    const ssize_t count = pread(fd, out.data(), out.size(), static_cast<off_t>(offset));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      throw IoError("Reading " + Printable(what) + " failed at offset " + Hex(offset) + ": " +
                    Reason());
    }
    if (count == 0) {
      throw IoError("Reading " + Printable(what) + " failed at offset " + Hex(offset) +
                    ": the file ended early.");
    }
    out = out.subspan(static_cast<std::size_t>(count));
    offset += static_cast<std::uint64_t>(count);
  }
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

class SourceFile : public SourceImage {
 public:
  SourceFile(int fd, const struct stat& opened, std::string path)
      : fd_(fd), opened_(opened), path_(std::move(path)) {}

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
  Descriptor fd_;
  struct stat opened_;
  std::string path_;
};

// Reads the new image for verification. With O_DIRECT the reads go to the storage, never to
// the page cache; where the file system refuses O_DIRECT (tmpfs) the file's cached pages,
// clean after the flush, are dropped first and the reads are as honest as the system allows.
class ReadBackFile : public StorageReader {
 public:
  ReadBackFile(int fd, std::string path, bool direct)
      : fd_(fd), path_(std::move(path)), direct_(direct) {}

  std::size_t SectorSize() const override { return kDirectReadAlignment; }
  bool BypassesCache() const override { return direct_; }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) override {
    ReadExactly(fd_.Get(), offset, out, path_);
  }

 private:
  Descriptor fd_;
  std::string path_;
  bool direct_;
};

std::unique_ptr<StorageReader> OpenReadBackFile(const std::string& path) {
#ifdef O_DIRECT
  const int direct = open(path.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC);
  if (direct >= 0) return std::make_unique<ReadBackFile>(direct, path, true);
  if (errno != EINVAL)
    throw IoError("Cannot open " + Printable(path) + " to verify it: " + Reason());
#endif
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw IoError("Cannot open " + Printable(path) + " to verify it: " + Reason());
  auto reader = std::make_unique<ReadBackFile>(fd, path, false);
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  return reader;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is durable once the folder that holds the name is flushed. File systems that
// cannot flush a folder say EINVAL; their names are as durable as they get.
void FlushFolderOf(const std::string& path) {
  const Descriptor folder(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder && fsync(folder.Get()) == 0) return;
  if (folder && errno == EINVAL) return;
  throw FinishedImageError("The new image is complete as " + Printable(path) +
                           ", but flushing its folder failed (" + Reason() +
                           "): its name may not survive a power failure.");
}

// Gives `from` the name `to` unless something already has it.
void RenameWithoutReplacing(const std::string& from, const std::string& to) {
#ifdef __linux__
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  if (errno == EEXIST) throw IoError(OutputExistsMessage(to));
  const bool unsupported = errno == EINVAL || errno == ENOSYS || errno == ENOTSUP;
  if (!unsupported) {
    throw IoError("Renaming " + Printable(from) + " to " + Printable(to) + " failed: " + Reason());
  }
#endif
  // File systems without an atomic no-replace rename: a hard link cannot replace either.
  if (link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) throw IoError(OutputExistsMessage(to));
    throw IoError("Renaming " + Printable(from) + " to " + Printable(to) + " failed: " + Reason());
  }
  if (unlink(from.c_str()) != 0) throw FinishedImageError(LeftoverPartMessage(to, from, Reason()));
}

class PartFile : public OutputFile {
 public:
  PartFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
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
    RenameWithoutReplacing(path_, final_path);
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

  Descriptor fd_;
  std::string path_;
  bool committed_ = false;
};

}  // namespace

// Opening does not wait for a writer when the path names a pipe; it is then refused.
std::unique_ptr<SourceImage> OpenSourceImage(const std::string& path) {
  Descriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) throw IoError("Cannot open " + Printable(path) + ": " + Reason());
  struct stat status {};
  if (fstat(fd.Get(), &status) != 0) {
    throw IoError("Cannot open " + Printable(path) + ": " + Reason());
  }
  if (S_ISREG(status.st_mode)) return std::make_unique<SourceFile>(fd.Release(), status, path);
  if (S_ISDIR(status.st_mode)) throw IoError(NotAnImageFileMessage(path, "a folder"));
  if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) {
    throw IoError(NotAnImageFileMessage(path, "a device"));
  }
  throw IoError(Printable(path) + " is not a regular file.");
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) return std::make_unique<PartFile>(fd, path);
  if (errno == EEXIST) throw IoError(PartExistsMessage(path));
  throw IoError("Cannot create " + Printable(path) + ": " + Reason());
}

bool PathExists(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

}  // namespace kelvore
