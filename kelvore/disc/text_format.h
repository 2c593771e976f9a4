#pragma once

#include <cstdint>
#include <string>

namespace kelvore {

// "0x2440": offsets in messages, as disc documentation writes them.
std::string Hex(std::uint64_t value);

// "1,459,978,240": byte counts in messages.
std::string GroupedDecimal(std::uint64_t value);

}  // namespace kelvore
