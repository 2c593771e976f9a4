#include "platform/binary_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/errno_error.h"

namespace platform {
namespace {

class PosixReadOnlyFile final : public ReadOnlyFile {
 public:
  PosixReadOnlyFile(int descriptor, std::string path)
      : descriptor_(descriptor), path_(std::move(path)) {}
  PosixReadOnlyFile(const PosixReadOnlyFile&) = delete;
  PosixReadOnlyFile& operator=(const PosixReadOnlyFile&) = delete;
  ~PosixReadOnlyFile() override { ::close(descriptor_); }

  std::int64_t Length() override {
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) throw posix::FileError(errno, path_);
    return status.st_size;
  }

  void Read(std::span<std::uint8_t> buffer) override {
    while (!buffer.empty()) {
      const ssize_t got = ::read(descriptor_, buffer.data(), buffer.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw posix::FileError(errno, path_);
      if (got == 0) throw posix::FileError(EIO, path_);
      buffer = buffer.subspan(static_cast<size_t>(got));
    }
  }

 private:
  int descriptor_;
  std::string path_;
};

// POSIX has no share modes; a shared advisory lock is the closest form of "others may read,
// nobody may write" that cooperating programs honour.
class PosixFileOpener final : public FileOpener {
 public:
  std::unique_ptr<ReadOnlyFile> OpenForBinaryRead(const std::string& path) override {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) throw posix::FileError(errno, path);
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
      ::close(descriptor);
      throw posix::FileError(EISDIR, path);
    }
    if (::flock(descriptor, LOCK_SH | LOCK_NB) != 0) {
      const int lockError = errno;
      ::close(descriptor);
      throw posix::FileError(lockError, path);
    }
    return std::make_unique<PosixReadOnlyFile>(descriptor, path);
  }
};

}  // namespace

FileOpener& SystemFileOpener() {
  static PosixFileOpener opener;
  return opener;
}

}  // namespace platform
