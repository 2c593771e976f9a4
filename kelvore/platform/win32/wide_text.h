#pragma once

#include <string>
#include <string_view>

namespace kelvore {

// The tool keeps text as UTF-8; Windows' wide functions take UTF-16.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// The system's description of an error code, without its line break.
std::string SystemErrorText(unsigned long code);

}  // namespace kelvore
