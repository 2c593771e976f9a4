#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "kelvore/base/errors.h"
#include "kelvore/base/input_stream.h"
#include "kelvore/base/message_format.h"
#include "platform/posix/unique_descriptor.h"

namespace kelvore {
namespace {

using platform::posix::UniqueDescriptor;

std::string Reason() { return std::strerror(errno); }

class InputFile : public InputStream {
 public:
  InputFile(UniqueDescriptor fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

  std::size_t Read(std::span<std::byte> out) override {
    std::size_t filled = 0;
    while (filled < out.size()) {
      const ssize_t count = read(fd_.Get(), out.data() + filled, out.size() - filled);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) throw IoError("Reading " + Printable(path_) + " failed: " + Reason());
      if (count == 0) break;
      filled += static_cast<std::size_t>(count);
    }
    return filled;
  }

 private:
  UniqueDescriptor fd_;
  std::string path_;
};

}  // namespace

std::unique_ptr<InputStream> OpenInputFile(const std::string& path) {
  // Not blocking on the opening itself, which a named pipe would; it is refused below.
  UniqueDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat status {};
  if (!fd || fstat(fd.Get(), &status) != 0) {
    throw IoError(Joined({"Cannot open ", Printable(path), ": ", Reason()}));
  }
  if (S_ISDIR(status.st_mode))
    throw IoError(Joined({Printable(path), " is a folder, not a file."}));
  if (!S_ISREG(status.st_mode)) throw IoError(Joined({Printable(path), " is not a regular file."}));
  return std::make_unique<InputFile>(std::move(fd), path);
}

}  // namespace kelvore
