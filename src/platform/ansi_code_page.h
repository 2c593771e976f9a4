#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The program holds text as UTF-8; functions of the system whose names end in A take the
// ANSI code page. These convert at each such call and back.

// Characters the code page cannot hold become '?', as the system's own conversion does.
std::string ToAnsi(std::string_view utf8);

// The exact ANSI form, or nothing when a character has none. Used for file names, where a
// replaced character could name a different file.
std::optional<std::string> ToAnsiExact(std::string_view utf8);

std::string FromAnsi(std::string_view ansi);

}  // namespace platform
