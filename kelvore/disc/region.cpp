#include "kelvore/disc/region.h"

#include <array>

namespace kelvore {
namespace {

// Each region once: its code's name, and the game code letters that stand for it.
struct RegionEntry {
  Region region;
  std::string_view name;
  std::string_view letters;
  bool also_japan = false;  // Korean GameCube discs carry Japan's code
};

constexpr std::array<RegionEntry, 4> kRegions = {{
    {Region::kJapan, "Japan", "J"},
    {Region::kUsa, "USA", "E"},
    {Region::kPal, "PAL", "PDFSIUXYZHR"},
    {Region::kKorea, "Korea", "K", true},
}};

}  // namespace

std::string RegionName(std::uint32_t code) {
  for (const RegionEntry& entry : kRegions) {
    if (code == static_cast<std::uint32_t>(entry.region)) return std::string(entry.name);
  }
  return "unknown region " + std::to_string(code);
}

RegionCheck CheckRegion(std::uint32_t code, std::string_view game_code) {
  RegionCheck check;
  if (game_code.size() < 4) return check;
  check.letter = game_code[3];
  for (const RegionEntry& entry : kRegions) {
    if (entry.letters.find(*check.letter) == std::string_view::npos) continue;
    const bool agrees = code == static_cast<std::uint32_t>(entry.region) ||
                        (entry.also_japan && code == static_cast<std::uint32_t>(Region::kJapan));
    check.result = agrees ? RegionCheck::Result::kAgrees : RegionCheck::Result::kDisagrees;
    check.expected = entry.name;
  }
  return check;
}

}  // namespace kelvore
