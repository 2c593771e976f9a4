#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kelvore {

// Length of a DOL executable from its 0x100-byte header: the end of its furthest non-empty
// section, and at least the header itself.
std::uint64_t DolLength(std::span<const std::byte> header);

}  // namespace kelvore
