#include "kelvore/platform/process_start.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace kelvore {
namespace {

// Opens /dev/null on every closed descriptor of 0 to 2, lowest first: open takes the lowest
// free number, which is then the closed one.
bool FillClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    if (open("/dev/null", O_RDWR) != fd) return false;
  }
  return true;
}

}  // namespace

bool PrepareProcess() {
  if (!FillClosedStandardStreams()) return false;
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  return true;
}

}  // namespace kelvore
