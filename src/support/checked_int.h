#pragma once

#include <cstdint>
#include <limits>

#include "support/error.h"

namespace corvane {

// 32-bit signed addition and subtraction that raise the overflow error (6) instead of
// wrapping, as the program's integer arithmetic does.
inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b, const std::string& source) {
  std::int32_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) throw Error(error_number::kOverflow, source);
  return sum;
}

inline std::int32_t CheckedSubtract(std::int32_t a, std::int32_t b, const std::string& source) {
  std::int32_t difference = 0;
  if (__builtin_sub_overflow(a, b, &difference)) throw Error(error_number::kOverflow, source);
  return difference;
}

// Narrows to 16 bits signed, raising the overflow error for a value outside -32768..32767.
inline std::int16_t CheckedNarrow16(std::int64_t value, const std::string& source) {
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max()) {
    throw Error(error_number::kOverflow, source);
  }
  return static_cast<std::int16_t>(value);
}

}  // namespace corvane
