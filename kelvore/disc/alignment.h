#pragma once

#include <cstdint>

#include "kelvore/disc/disc_format.h"

namespace kelvore {

// `alignment` is a power of two.
constexpr std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) & ~(alignment - 1);
}

constexpr std::uint64_t AlignDown(std::uint64_t value, std::uint64_t alignment) {
  return value & ~(alignment - 1);
}

// The alignment a file keeps in the rebuilt image: the largest power of two between 4 bytes
// and 32 KiB that divides its original offset, so a rebuild never loosens it. An offset that
// is not even a multiple of 4 gets 4, the least the console's disc reads need.
constexpr std::uint32_t FileAlignment(std::uint32_t original_offset) {
  std::uint32_t alignment = format::kMinFileAlignment;
  while (alignment < format::kBlockSize && original_offset % (alignment * 2) == 0) {
    alignment *= 2;
  }
  return alignment;
}

}  // namespace kelvore
