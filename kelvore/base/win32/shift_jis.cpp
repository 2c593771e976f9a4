#include "kelvore/base/shift_jis.h"

#include <windows.h>

namespace kelvore {

namespace {
constexpr UINT kShiftJisCodePage = 932;
}  // namespace

std::optional<char32_t> ShiftJisCharacter(unsigned char lead, unsigned char trail) {
  const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  wchar_t character[2] = {};
  // Without the flag a code that stands for nothing would come back as the code page's
  // default character; with it, the call fails.
  if (MultiByteToWideChar(kShiftJisCodePage, MB_ERR_INVALID_CHARS, code, 2, character, 2) != 1) {
    return std::nullopt;
  }
  return character[0];
}

}  // namespace kelvore
