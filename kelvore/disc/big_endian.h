#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kelvore {

// Disc structures store every number big-endian. Callers check that offset + 4 lies within
// `bytes`.
inline std::uint32_t LoadBe32(std::span<const std::byte> bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value = (value << 8) | std::to_integer<std::uint32_t>(bytes[offset + i]);
  }
  return value;
}

inline void StoreBe32(std::span<std::byte> bytes, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    bytes[offset + i] = static_cast<std::byte>(value >> (24 - 8 * i));
  }
}

}  // namespace kelvore
