#pragma once

#include <string>

#include "support/error.h"

namespace platform::posix {

// An error raised by the platform layer for an errno value, naming the path and the reason.
corvane::Error FileError(int errorCode, const std::string& path);

}  // namespace platform::posix
