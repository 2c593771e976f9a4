#pragma once

#include <string>

namespace platform::win32 {

// The full path of the running program, however long.
std::wstring ModulePath();

}  // namespace platform::win32
