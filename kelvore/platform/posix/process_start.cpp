#include "kelvore/platform/process_start.h"

#include <csignal>

namespace kelvore {

void PrepareProcess() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace kelvore
