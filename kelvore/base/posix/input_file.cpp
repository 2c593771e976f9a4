#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "kelvore/base/errors.h"
#include "kelvore/base/input_stream.h"
#include "kelvore/base/message_format.h"

namespace kelvore {
namespace {

std::string Reason() { return std::strerror(errno); }

class InputFile : public InputStream {
 public:
  InputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~InputFile() override { close(fd_); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::size_t Read(std::span<std::byte> out) override {
    std::size_t filled = 0;
    while (filled < out.size()) {
      const ssize_t count = read(fd_, out.data() + filled, out.size() - filled);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) throw IoError("Reading " + Printable(path_) + " failed: " + Reason());
      if (count == 0) break;
      filled += static_cast<std::size_t>(count);
    }
    return filled;
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

std::unique_ptr<InputStream> OpenInputFile(const std::string& path) {
  // Not blocking on the opening itself, which a named pipe would; it is refused below.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw IoError("Cannot open " + Printable(path) + ": " + Reason());
  auto file = std::make_unique<InputFile>(fd, path);
  struct stat status {};
  if (fstat(fd, &status) != 0) throw IoError("Cannot open " + Printable(path) + ": " + Reason());
  if (S_ISDIR(status.st_mode)) throw IoError(Printable(path) + " is a folder, not a file.");
  if (!S_ISREG(status.st_mode)) throw IoError(Printable(path) + " is not a regular file.");
  return file;
}

}  // namespace kelvore
