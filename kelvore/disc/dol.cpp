#include "kelvore/disc/dol.h"

#include <algorithm>

#include "kelvore/disc/big_endian.h"
#include "kelvore/disc/disc_format.h"

namespace kelvore {
namespace {

std::uint64_t FurthestSectionEnd(std::span<const std::byte> header, std::size_t offsets_at,
                                 std::size_t sizes_at, std::size_t count) {
  std::uint64_t end = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint64_t size = LoadBe32(header, sizes_at + 4 * i);
    if (size == 0) continue;
    end = std::max(end, LoadBe32(header, offsets_at + 4 * i) + size);
  }
  return end;
}

}  // namespace

std::uint64_t DolLength(std::span<const std::byte> header) {
  using namespace format;
  return std::max(
      {std::uint64_t{kDolHeaderSize},
       FurthestSectionEnd(header, kDolTextOffsetsAt, kDolTextSizesAt, kDolTextSectionCount),
       FurthestSectionEnd(header, kDolDataOffsetsAt, kDolDataSizesAt, kDolDataSectionCount)});
}

}  // namespace kelvore
