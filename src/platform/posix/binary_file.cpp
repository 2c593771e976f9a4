#include "platform/binary_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/posix/errno_error.h"
#include "platform/posix/unique_descriptor.h"

namespace platform {
namespace {

class PosixReadOnlyFile final : public ReadOnlyFile {
 public:
  PosixReadOnlyFile(posix::UniqueDescriptor descriptor, std::string path)
      : descriptor_(std::move(descriptor)), path_(std::move(path)) {}

  std::int64_t Length() override {
    struct stat status {};
    if (::fstat(descriptor_.Get(), &status) != 0) throw posix::FileError(errno, path_);
    return status.st_size;
  }

  void Read(std::span<std::uint8_t> buffer) override {
    while (!buffer.empty()) {
      const ssize_t got = ::read(descriptor_.Get(), buffer.data(), buffer.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw posix::FileError(errno, path_);
      if (got == 0) throw posix::FileError(EIO, path_);
      buffer = buffer.subspan(static_cast<size_t>(got));
    }
  }

 private:
  posix::UniqueDescriptor descriptor_;
  std::string path_;
};

// POSIX has no share modes; a shared advisory lock is the closest form of "others may read,
// nobody may write" that cooperating programs honour.
class PosixFileOpener final : public FileOpener {
 public:
  std::unique_ptr<ReadOnlyFile> OpenForBinaryRead(const std::string& path) override {
    posix::UniqueDescriptor descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!descriptor) throw posix::FileError(errno, path);
    struct stat status {};
    if (::fstat(descriptor.Get(), &status) == 0 && S_ISDIR(status.st_mode)) {
      throw posix::FileError(EISDIR, path);
    }
    if (::flock(descriptor.Get(), LOCK_SH | LOCK_NB) != 0) throw posix::FileError(errno, path);
    return std::make_unique<PosixReadOnlyFile>(std::move(descriptor), path);
  }
};

}  // namespace

FileOpener& SystemFileOpener() {
  static PosixFileOpener opener;
  return opener;
}

}  // namespace platform
