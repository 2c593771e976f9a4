#include "kelvore/base/shift_jis.h"

#include <iconv.h>

#include <cstddef>

namespace kelvore {

std::optional<char32_t> ShiftJisCharacter(unsigned char lead, unsigned char trail) {
  // Opened once for the whole run; without the conversion no double-byte code is read.
  static const iconv_t converter = iconv_open("UTF-32BE", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  unsigned char character[4] = {};
  char* in = code;
  std::size_t in_left = sizeof code;
  char* out = reinterpret_cast<char*>(character);
  std::size_t out_left = sizeof character;
  if (iconv(converter, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) ||
      out_left != 0) {
    return std::nullopt;
  }
  return char32_t{character[0]} << 24 | char32_t{character[1]} << 16 | char32_t{character[2]} << 8 |
         char32_t{character[3]};
}

}  // namespace kelvore
