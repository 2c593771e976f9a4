#include "platform/ansi_code_page.h"

namespace platform {

// On POSIX systems the narrow code page is UTF-8, the program's own text form.

std::string ToAnsi(std::string_view utf8) { return std::string(utf8); }

std::optional<std::string> ToAnsiExact(std::string_view utf8) { return std::string(utf8); }

std::string FromAnsi(std::string_view ansi) { return std::string(ansi); }

std::optional<std::string> FromAnsiExact(std::string_view ansi) { return std::string(ansi); }

}  // namespace platform
