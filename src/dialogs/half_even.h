#pragma once

#include <cstdint>

namespace corvane {

// numerator / denominator (denominator > 0) taken to the nearest integer, halves to the
// even neighbour, as the program's conversions to whole numbers round: 2.5 gives 2, 3.5
// gives 4, -2.5 gives -2.
constexpr std::int64_t RoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
  std::int64_t quotient = numerator / denominator;
  std::int64_t remainder = numerator % denominator;
  if (remainder < 0) {
    --quotient;
    remainder += denominator;
  }
  const std::int64_t twice = 2 * remainder;
  if (twice > denominator || (twice == denominator && quotient % 2 != 0)) ++quotient;
  return quotient;
}

}  // namespace corvane
