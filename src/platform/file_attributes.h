#pragma once

#include <cstdint>

namespace platform {

// Attribute bits of a directory entry, and of the mask a directory search is given.
namespace attribute {
inline constexpr std::uint32_t kNormal = 0;
inline constexpr std::uint32_t kReadOnly = 1;
inline constexpr std::uint32_t kHidden = 2;
inline constexpr std::uint32_t kSystem = 4;
inline constexpr std::uint32_t kVolume = 8;
inline constexpr std::uint32_t kDirectory = 16;
inline constexpr std::uint32_t kArchive = 32;
}  // namespace attribute

// Whether an entry with these attributes is found by a search with this mask: ordinary
// entries (read-only and archive included) always, hidden, system and directory entries
// only when the mask names them.
constexpr bool MatchesAttributeMask(std::uint32_t entryAttributes, std::uint32_t mask) {
  constexpr std::uint32_t selectable =
      attribute::kHidden | attribute::kSystem | attribute::kDirectory | attribute::kVolume;
  return (entryAttributes & selectable & ~mask) == 0;
}

}  // namespace platform
