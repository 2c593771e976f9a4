#include "kelvore/disc/disc_encoding.h"

#include <array>
#include <cstddef>

#include "kelvore/base/message_format.h"
#include "kelvore/base/shift_jis.h"

namespace kelvore {
namespace {

// Windows-1252 at 0x80 to 0x9F; 0 where the code page leaves a byte undefined. Every other
// byte stands for the Unicode character of the same number.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       //
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Shift-JIS: single bytes 0xA1 to 0xDF are half-width katakana.
constexpr unsigned char kFirstKatakanaByte = 0xA1;
constexpr unsigned char kLastKatakanaByte = 0xDF;
constexpr char32_t kFirstHalfWidthKatakana = 0xFF61;

bool IsShiftJisLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsShiftJisTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

bool IsControl(char32_t character) {
  return character < 0x20 || (character >= 0x7F && character < 0xA0);
}

void AppendUtf8(std::string& text, char32_t character) {
  if (character < 0x80) {
    text += static_cast<char>(character);
  } else if (character < 0x800) {
    text += static_cast<char>(0xC0 | (character >> 6));
    text += static_cast<char>(0x80 | (character & 0x3F));
  } else if (character < 0x10000) {
    text += static_cast<char>(0xE0 | (character >> 12));
    text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (character & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (character >> 18));
    text += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (character & 0x3F));
  }
}

// What becomes of control characters: shown as \xHH, or left out.
enum class Controls { kEscaped, kDropped };

// `character`, which `byte` stands for, or what `controls` makes of a control character.
void AppendCharacter(std::string& text, char32_t character, unsigned char byte, Controls controls) {
  if (!IsControl(character)) {
    AppendUtf8(text, character);
  } else if (controls == Controls::kEscaped) {
    AppendEscapedByte(text, byte);
  }
}

// A byte the code page leaves undefined stands for no character: it is shown as \xHH.
std::string DecodedWindows1252(std::string_view raw, Controls controls) {
  std::string text;
  for (const char c : raw) {
    const auto byte = static_cast<unsigned char>(c);
    const bool high = byte >= 0x80 && byte < 0xA0;
    const char32_t character = high ? kWindows1252High[byte - 0x80] : byte;
    if (high && character == 0) {
      AppendEscapedByte(text, byte);
    } else {
      AppendCharacter(text, character, byte, controls);
    }
  }
  return text;
}

std::string DecodedShiftJis(std::string_view raw, Controls controls) {
  std::string text;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const auto byte = static_cast<unsigned char>(raw[i]);
    if (byte < 0x80) {
      AppendCharacter(text, byte, byte, controls);
    } else if (byte >= kFirstKatakanaByte && byte <= kLastKatakanaByte) {
      AppendUtf8(text, kFirstHalfWidthKatakana + (byte - kFirstKatakanaByte));
    } else if (const auto trail = i + 1 < raw.size() ? static_cast<unsigned char>(raw[i + 1]) : 0;
               IsShiftJisLead(byte) && IsShiftJisTrail(trail)) {
      // A pair that stands for no character is shown as both its bytes.
      if (const auto character = ShiftJisCharacter(byte, trail)) {
        AppendUtf8(text, *character);
      } else {
        AppendEscapedByte(text, byte);
        AppendEscapedByte(text, trail);
      }
      ++i;
    } else {
      AppendEscapedByte(text, byte);
    }
  }
  return text;
}

std::string Decoded(std::string_view raw, DiscEncoding encoding, Controls controls) {
  return encoding == DiscEncoding::kShiftJis ? DecodedShiftJis(raw, controls)
                                             : DecodedWindows1252(raw, controls);
}

}  // namespace

DiscEncoding EncodingOfGameCode(std::string_view game_code) {
  return game_code.size() >= 4 && game_code[3] == 'J' ? DiscEncoding::kShiftJis
                                                      : DiscEncoding::kWindows1252;
}

std::string ShownText(std::string_view raw, DiscEncoding encoding) {
  return Decoded(raw, encoding, Controls::kEscaped);
}

std::string TextWithoutControls(std::string_view raw, DiscEncoding encoding) {
  return Decoded(raw, encoding, Controls::kDropped);
}

}  // namespace kelvore
