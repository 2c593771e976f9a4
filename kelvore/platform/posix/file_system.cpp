#include "kelvore/platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "kelvore/disc/errors.h"
#include "kelvore/disc/text_format.h"
#include "kelvore/tool/output_path.h"

namespace kelvore {
namespace {

std::string Reason() { return std::strerror(errno); }

class SourceFile : public ByteSource {
 public:
  SourceFile(int fd, std::uint64_t size, std::string path)
      : fd_(fd), size_(size), path_(std::move(path)) {}
  ~SourceFile() override { close(fd_); }
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  std::uint64_t Size() const override { return size_; }

  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    while (!out.empty()) {
      const ssize_t count = pread(fd_, out.data(), out.size(), static_cast<off_t>(offset));
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) {
        throw IoError("Reading " + path_ + " failed at offset " + Hex(offset) + ": " + Reason());
      }
      if (count == 0) {
        throw IoError("Reading " + path_ + " failed at offset " + Hex(offset) +
                      ": the file ended early. Was it changed during the rebuild?");
      }
      out = out.subspan(static_cast<std::size_t>(count));
      offset += static_cast<std::uint64_t>(count);
    }
  }

 private:
  int fd_;
  std::uint64_t size_;
  std::string path_;
};

// Gives `from` the name `to` unless something already has it.
void RenameWithoutReplacing(const std::string& from, const std::string& to) {
#ifdef __linux__
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  if (errno == EEXIST) throw IoError(OutputExistsMessage(to));
  const bool unsupported = errno == EINVAL || errno == ENOSYS || errno == ENOTSUP;
  if (!unsupported) throw IoError("Renaming " + from + " to " + to + " failed: " + Reason());
#endif
  // File systems without an atomic no-replace rename: a hard link cannot replace either.
  if (link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) throw IoError(OutputExistsMessage(to));
    throw IoError("Renaming " + from + " to " + to + " failed: " + Reason());
  }
  unlink(from.c_str());
}

class PartFile : public OutputFile {
 public:
  PartFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PartFile() override {
    if (committed_) return;
    if (fd_ >= 0) close(fd_);
    unlink(path_.c_str());
  }
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  void WriteAt(std::uint64_t offset, std::span<const std::byte> data) override {
    while (!data.empty()) {
      const ssize_t count = pwrite(fd_, data.data(), data.size(), static_cast<off_t>(offset));
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) Fail("Writing " + path_ + " at offset " + Hex(offset));
      data = data.subspan(static_cast<std::size_t>(count));
      offset += static_cast<std::uint64_t>(count);
    }
  }

  void ReadAt(std::uint64_t offset, std::span<std::byte> out) override {
    while (!out.empty()) {
      const ssize_t count = pread(fd_, out.data(), out.size(), static_cast<off_t>(offset));
      if (count < 0 && errno == EINTR) continue;
      if (count == 0) errno = 0;
      if (count <= 0) Fail("Reading back " + path_ + " at offset " + Hex(offset));
      out = out.subspan(static_cast<std::size_t>(count));
      offset += static_cast<std::uint64_t>(count);
    }
  }

  void SetSize(std::uint64_t size) override {
    if (ftruncate(fd_, static_cast<off_t>(size)) != 0) Fail("Extending " + path_);
  }

  void Flush() override {
    if (fsync(fd_) != 0) Fail("Flushing " + path_);
  }

  void CommitAs(const std::string& final_path) override {
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) Fail("Closing " + path_);
    RenameWithoutReplacing(path_, final_path);
    committed_ = true;
  }

 private:
  [[noreturn]] static void Fail(const std::string& action) {
    const std::string reason = errno == 0 ? "the file ended early" : Reason();
    throw IoError(action + " failed: " + reason);
  }

  int fd_;
  std::string path_;
  bool committed_ = false;
};

}  // namespace

// Opening does not wait for a writer when the path names a pipe; it is then refused.
std::unique_ptr<ByteSource> OpenSourceImage(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw IoError("Cannot open " + path + ": " + Reason());
  struct stat status {};
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    return std::make_unique<SourceFile>(fd, static_cast<std::uint64_t>(status.st_size), path);
  }
  close(fd);
  if (S_ISDIR(status.st_mode)) throw IoError(NotAnImageFileMessage(path, "a folder"));
  if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) {
    throw IoError(NotAnImageFileMessage(path, "a device"));
  }
  throw IoError(path + " is not a regular file.");
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) return std::make_unique<PartFile>(fd, path);
  if (errno == EEXIST) {
    throw IoError(PartExistsMessage(path));
  }
  throw IoError("Cannot create " + path + ": " + Reason());
}

bool PathExists(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

}  // namespace kelvore
