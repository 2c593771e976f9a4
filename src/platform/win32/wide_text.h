#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// UTF-8 (the program's text) to UTF-16 (the system's wide functions) and back.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace platform::win32
