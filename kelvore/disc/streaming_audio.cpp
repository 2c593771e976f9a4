#include "kelvore/disc/streaming_audio.h"

#include <algorithm>
#include <array>

namespace kelvore {
namespace {

// ASCII letters only, whatever the locale: in some, 'I' has another lower case.
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size(),
                    [](char expected, char actual) { return expected == AsciiLower(actual); });
}

}  // namespace

bool IsStreamingAudioName(std::string_view name) {
  static constexpr std::array<std::string_view, 2> kSuffixes = {".adp", ".dtk"};
  return std::any_of(kSuffixes.begin(), kSuffixes.end(), [name](std::string_view suffix) {
    return EndsWithIgnoringCase(name, suffix);
  });
}

}  // namespace kelvore
