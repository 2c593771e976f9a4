#pragma once

#include <string>
#include <string_view>

namespace kelvore {

// The version Corvane's About window names.
inline constexpr std::string_view kVersionText = "kelvore 1.4b";

// The full --help text.
std::string HelpText();

// The lines shown under a command-line error.
std::string ShortUsage();

}  // namespace kelvore
