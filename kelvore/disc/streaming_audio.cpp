#include "kelvore/disc/streaming_audio.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kelvore {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size(),
                    [](char expected, char actual) {
                      return expected == std::tolower(static_cast<unsigned char>(actual));
                    });
}

}  // namespace

bool IsStreamingAudioName(std::string_view name) {
  static constexpr std::array<std::string_view, 2> kSuffixes = {".adp", ".dtk"};
  return std::any_of(kSuffixes.begin(), kSuffixes.end(), [name](std::string_view suffix) {
    return EndsWithIgnoringCase(name, suffix);
  });
}

}  // namespace kelvore
