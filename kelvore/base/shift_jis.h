#pragma once

#include <optional>

namespace kelvore {

// The character a Shift-JIS double-byte code stands for, as Windows reads code page 932
// (JIS X 0208 with Microsoft's additions), or nothing when it stands for none. The system
// converts it: Windows itself, iconv on POSIX.
std::optional<char32_t> ShiftJisCharacter(unsigned char lead, unsigned char trail);

}  // namespace kelvore
