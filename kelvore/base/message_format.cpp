#include "kelvore/base/message_format.h"

#include <algorithm>

namespace kelvore {
namespace {

// The hexadecimal digit of `value` (0 to 15), in upper case as disc documentation writes
// offsets, or in lower case as checksum lists write digests.
char HexDigit(unsigned value, bool lower_case = false) {
  static constexpr std::string_view kDigits = "0123456789ABCDEF0123456789abcdef";
  return kDigits[value + (lower_case ? 16 : 0)];
}

bool IsAsciiControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// C1 controls: the code points U+0080 to U+009F, or such a byte where it is no part of a
// UTF-8 character (in a single-byte encoding it is the control itself).
bool IsC1Control(unsigned char byte) { return byte >= 0x80 && byte <= 0x9F; }

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 character at the start of `text`, or 0.
std::size_t Utf8Length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                                                            : 0;
  if (length == 0 || text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[i]))) return 0;
  }
  return length;
}

}  // namespace

std::string Hex(std::uint64_t value) {
  std::string digits;
  do {
    digits.push_back(HexDigit(static_cast<unsigned>(value % 16)));
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

std::string Joined(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (const std::string_view part : parts) size += part.size();
  std::string text;
  text.reserve(size);
  for (const std::string_view part : parts) text += part;
  return text;
}

std::string ByteCount(std::uint64_t value) { return CountOf(value, "byte"); }

std::string CountOf(std::uint64_t count, std::string_view noun) {
  std::string text = GroupedDecimal(count) + " ";
  text += noun;
  if (count != 1) text += 's';
  return text;
}

std::string LabelColumn(std::string_view label, std::size_t column) {
  std::string text(label);
  text.append(text.size() < column ? column - text.size() : 1, ' ');
  return text;
}

std::string LowerHexDigits(std::span<const std::byte> bytes) {
  std::string text;
  for (const std::byte byte : bytes) {
    text += HexDigit(std::to_integer<unsigned>(byte) >> 4, true);
    text += HexDigit(std::to_integer<unsigned>(byte) & 0xF, true);
  }
  return text;
}

void AppendEscapedByte(std::string& text, unsigned char byte) {
  text += "\\x";
  text += HexDigit(byte >> 4);
  text += HexDigit(byte & 0xF);
}

std::string Printable(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text[0]);
    std::size_t length = Utf8Length(text);
    // UTF-8 encodes U+0080 to U+009F as 0xC2 followed by the code point's own byte.
    const bool control = length == 2
                             ? byte == 0xC2 && IsC1Control(static_cast<unsigned char>(text[1]))
                             : IsAsciiControl(byte) || (length == 0 && IsC1Control(byte));
    length = std::max<std::size_t>(length, 1);
    if (control) {
      for (std::size_t i = 0; i < length; ++i) {
        AppendEscapedByte(shown, static_cast<unsigned char>(text[i]));
      }
    } else {
      shown.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  return shown;
}

}  // namespace kelvore
