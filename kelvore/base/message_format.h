#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace kelvore {

// "0x2440": offsets in messages, as disc documentation writes them.
std::string Hex(std::uint64_t value);

// "9d3799b3": bytes as two lower-case hexadecimal digits each, as checksum lists give them.
std::string LowerHexDigits(std::span<const std::byte> bytes);

// "1,459,978,240": byte counts in messages.
std::string GroupedDecimal(std::uint64_t value);

// `parts` one after another. Messages are built with one call of it rather than a chain of +,
// each step of which makes a string of its own in the programs' code.
std::string Joined(std::initializer_list<std::string_view> parts);

// "1 byte", "1,024 bytes".
std::string ByteCount(std::uint64_t value);

// "1 file", "600 files": `count` and the noun, which takes an "s" unless the count is 1.
std::string CountOf(std::uint64_t count, std::string_view noun);

// `label` padded with blanks to `column`, where the values of a list of labels line up; a
// label that reaches `column` keeps all of it and gets one blank.
std::string LabelColumn(std::string_view label, std::size_t column);

// A path or a command-line argument as messages show it: its bytes as they are (they are
// the system's own encoding, not disc text), but with control characters written as \xHH
// (C0 controls, DEL, and C1 controls, encoded in UTF-8 or as single bytes outside a UTF-8
// character), so that no name can move the cursor or forge a line of the tool's own output.
std::string Printable(std::string_view text);

// Appends `byte` written as \xHH.
void AppendEscapedByte(std::string& text, unsigned char byte);

}  // namespace kelvore
