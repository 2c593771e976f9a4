#include "kelvore/disc/region.h"

#include <array>

namespace kelvore {
namespace {

struct LetterRegions {
  std::string_view letters;
  std::string_view name;
  Region region;
  bool also_japan = false;  // Korean GameCube discs carry Japan's code
};

constexpr std::array<LetterRegions, 4> kLetterRegions = {{
    {"J", "Japan", Region::kJapan},
    {"E", "USA", Region::kUsa},
    {"PDFSIUXYZHR", "PAL", Region::kPal},
    {"K", "Korea", Region::kKorea, true},
}};

}  // namespace

std::string RegionName(std::uint32_t code) {
  switch (static_cast<Region>(code)) {
    case Region::kJapan:
      return "Japan";
    case Region::kUsa:
      return "USA";
    case Region::kPal:
      return "PAL";
    case Region::kKorea:
      return "Korea";
  }
  return "unknown region " + std::to_string(code);
}

RegionCheck CheckRegion(std::uint32_t code, std::string_view game_code) {
  RegionCheck check;
  if (game_code.size() < 4) return check;
  check.letter = game_code[3];
  for (const LetterRegions& entry : kLetterRegions) {
    if (entry.letters.find(check.letter) == std::string_view::npos) continue;
    const bool agrees = code == static_cast<std::uint32_t>(entry.region) ||
                        (entry.also_japan && code == static_cast<std::uint32_t>(Region::kJapan));
    check.result = agrees ? RegionCheck::Result::kAgrees : RegionCheck::Result::kDisagrees;
    check.expected = entry.name;
  }
  return check;
}

}  // namespace kelvore
