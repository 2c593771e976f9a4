#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvore {

// The country code of a disc's header information, as the console compares it with its own.
enum class Region : std::uint32_t {
  kJapan = 0,
  kUsa = 1,
  kPal = 2,
  // The code Nintendo's later consoles use for Korea; Korean GameCube discs carry Japan's.
  kKorea = 4,
};

// "Japan", "USA", "PAL", "Korea", or "unknown region 7" for a number that names none.
std::string RegionName(std::uint32_t code);

// What the last letter of a game code says of the region, and whether the disc's code
// agrees: J Japan; E USA; P, D, F, S, I, U, X, Y, Z, H and R (Europe and Australia) PAL; K
// Korea, whose GameCube discs carry Japan's code. Other letters are not compared: W, for
// one, marks Taiwanese discs on later consoles but English-language Korean ones here.
struct RegionCheck {
  enum class Result { kAgrees, kDisagrees, kNotCompared };
  Result result = Result::kNotCompared;
  std::optional<char> letter;   // the game code's last letter, when it has four
  std::string_view expected{};  // what that letter stands for, when it is compared
};

RegionCheck CheckRegion(std::uint32_t code, std::string_view game_code);

}  // namespace kelvore
