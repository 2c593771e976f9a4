#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

// The system's message text for an error code in UTF-8, such as "Access is denied", without
// the trailing period and line break, so that it fits inside a sentence; "System error N"
// when the system has no text for the code.
std::string SystemMessage(DWORD systemError);

}  // namespace platform::win32
