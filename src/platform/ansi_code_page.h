#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The program holds text as UTF-8; functions of the system whose names end in A take the
// ANSI code page. These convert at each such call and back.

// Characters the code page cannot hold become '?' (U+FFFD under UTF-8), as the system's own
// conversion does. Raises error 5 when the system cannot convert the text at all.
std::string ToAnsi(std::string_view utf8);

// The exact ANSI form, or nothing when a character has none or the system cannot convert
// the text. Used for file names, where a replaced character could name a different file.
std::optional<std::string> ToAnsiExact(std::string_view utf8);

// Bytes the code page does not define become replacement characters. Raises error 5 when
// the system cannot convert the text at all.
std::string FromAnsi(std::string_view ansi);

// The exact text of ANSI bytes, or nothing when they are not a valid text of the code page
// or the system cannot convert them. Used for file names the system hands back.
std::optional<std::string> FromAnsiExact(std::string_view ansi);

}  // namespace platform
