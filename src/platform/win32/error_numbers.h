#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/win32/system_message.h"
#include "support/error.h"

namespace platform::win32 {

// The program's error number for a failed file operation's system error code.
std::int32_t FileErrorNumber(DWORD systemError);

// An error raised by the platform layer for the system error code, with the system's own
// message as its description and the executable's name as its source.
corvane::Error FileError(DWORD systemError, const std::string& path);

}  // namespace platform::win32
