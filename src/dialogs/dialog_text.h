#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Text handling shared by the dialog methods: filter lists, NUL-padded buffers and the
// fixed-size ANSI byte fields of the system's records.
namespace corvane::dialog_text {

// The number of characters of a text as the system counts them (UTF-16 units).
std::size_t CharacterCount(std::string_view text);

// `text` followed by NULs up to `length` characters; a longer text is returned whole.
std::string PadWithNuls(std::string_view text, std::size_t length);

// The leading part of a text up to, not including, its first NUL; a text without NUL
// comes back whole.
std::string TextBeforeNull(std::string_view text);

// The system's form of a filter list: every "|" and every ":" becomes a NUL, and two NULs
// close the list ("Images|*.gcm" becomes "Images", NUL, "*.gcm", NUL, NUL).
std::string ConvertFilter(std::string_view filter);

// The index-th pair (description, NUL, pattern; counted from 1) of a NUL-separated filter
// list. An index one beyond the last pair gives the closing NUL alone; higher indexes wrap
// to the first pair again. Empty for an empty list, a list without NUL or an index below 1.
std::string FilterPairAt(std::string_view filter, std::int32_t index);

// True when the array has no storage yet.
inline bool IsArrayUnallocated(const std::vector<std::uint8_t>& bytes) { return bytes.empty(); }

// Stores the ANSI bytes of `text` in `bytes`. An unallocated array becomes exactly the
// ANSI bytes. Otherwise the array keeps its size n: a text of fewer than n characters is
// first padded with NULs to n characters (in the caller's variable too), and the first n
// bytes of its ANSI form are copied in; a longer text is cut without terminator.
void TextToByteArray(std::vector<std::uint8_t>& bytes, std::string& text);

// The whole array converted from ANSI, NULs included.
std::string ByteArrayToText(std::span<const std::uint8_t> bytes);

}  // namespace corvane::dialog_text
