#include "kelvore/tool/read_back_alignment.h"

#include <algorithm>
#include <bit>

namespace kelvore {

std::optional<std::size_t> UsableSectorSize(std::uint64_t reported) {
  if (!std::has_single_bit(reported) || reported > kLargestSectorSize) return std::nullopt;
  return std::max<std::size_t>(kLeastSectorSize, static_cast<std::size_t>(reported));
}

std::optional<std::size_t> ChooseSectorSize(const SectorSizeQuery& from_file,
                                            const SectorSizeQuery& from_volume) {
  for (const SectorSizeQuery* query : {&from_file, &from_volume}) {
    const std::optional<std::uint64_t> reported = (*query)();
    if (reported && *reported != 0) return UsableSectorSize(*reported);
  }
  return kLeastSectorSize;
}

std::optional<DirectReadAlignment> DirectReadAlignmentFrom(std::optional<DirectIoReport> report) {
  if (!report) return DirectReadAlignment{kLeastSectorSize, kLeastSectorSize};
  const auto offsets = UsableSectorSize(report->offset_align);
  const auto buffers = UsableSectorSize(report->memory_align);
  if (!offsets || !buffers) return std::nullopt;
  return DirectReadAlignment{*offsets, *buffers};
}

}  // namespace kelvore
