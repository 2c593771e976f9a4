#include "dialogs/dialog_text.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/ansi_code_page.h"

namespace corvane::dialog_text {
namespace {

constexpr char kNul = '\0';

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }
bool StartsFourByteSequence(unsigned char byte) { return byte >= 0xF0; }

// One segment of the walk through a filter list, and where the walk goes on from.
struct FilterSegment {
  std::string_view text;
  std::size_t next = 0;
};

// The segment that starts at `start`: up to the NUL that follows the first NUL at or
// after `start`, or to the end. None when no NUL follows `start`. The walk goes on after
// that second NUL, or from the beginning when the segment ran to the end.
std::optional<FilterSegment> SegmentAt(std::string_view filter, std::size_t start) {
  const std::size_t separator = filter.find(kNul, start);
  if (separator == std::string_view::npos) return std::nullopt;
  const std::size_t end = filter.find(kNul, separator + 1);
  if (end == std::string_view::npos) return FilterSegment{filter.substr(start), 0};
  return FilterSegment{filter.substr(start, end - start), end + 1};
}

}  // namespace

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsContinuationByte(byte)) continue;
    count += StartsFourByteSequence(byte) ? 2 : 1;
  }
  return count;
}

std::string PadWithNuls(std::string_view text, std::size_t length) {
  std::string padded(text);
  const std::size_t count = CharacterCount(text);
  if (count < length) padded.append(length - count, kNul);
  return padded;
}

std::string TextBeforeNull(std::string_view text) {
  return std::string(text.substr(0, text.find(kNul)));
}

std::string ConvertFilter(std::string_view filter) {
  std::string converted(filter);
  std::replace_if(
      converted.begin(), converted.end(), [](char c) { return c == '|' || c == ':'; }, kNul);
  converted.append(2, kNul);
  return converted;
}

std::string FilterPairAt(std::string_view filter, std::int32_t index) {
  if (filter.empty() || index < 1) return {};
  // The walk visits the same segments in a cycle, or ends; collect one round of it so that
  // a large index costs no more than a small one.
  std::vector<std::string_view> round;
  std::size_t start = 0;
  do {
    const std::optional<FilterSegment> segment = SegmentAt(filter, start);
    if (!segment) {
      const auto position = static_cast<std::size_t>(index - 1);
      return position < round.size() ? std::string(round[position]) : std::string();
    }
    round.push_back(segment->text);
    start = segment->next;
  } while (start != 0);
  return std::string(round[static_cast<std::size_t>(index - 1) % round.size()]);
}

void TextToByteArray(std::vector<std::uint8_t>& bytes, std::string& text) {
  if (IsArrayUnallocated(bytes)) {
    const std::string ansi = platform::ToAnsi(text);
    bytes.assign(ansi.begin(), ansi.end());
    return;
  }
  text = PadWithNuls(text, bytes.size());
  const std::string ansi = platform::ToAnsi(text);
  std::memcpy(bytes.data(), ansi.data(), std::min(bytes.size(), ansi.size()));
}

std::string ByteArrayToText(std::span<const std::uint8_t> bytes) {
  return platform::FromAnsi(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace corvane::dialog_text
