#include "kelvore/disc/text_format.h"

#include <algorithm>

namespace kelvore {

std::string Hex(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string digits;
  do {
    digits.push_back(kDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  std::reverse(digits.begin(), digits.end());
  return "0x" + digits;
}

std::string GroupedDecimal(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), 1, ',');
  }
  return digits;
}

}  // namespace kelvore
