#pragma once

#include <string>
#include <string_view>

namespace e2e {

std::string Utf8(std::wstring_view wide);
std::wstring Wide(std::string_view utf8);

}  // namespace e2e
