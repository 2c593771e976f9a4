#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace kelvore {

// Reads that go around the system's cache take offsets, lengths and buffer addresses that are
// multiples of the storage's sector size. Where nothing better is known the read-back keeps
// to 4,096 bytes, the most common physical sector, which disks may report as 512 for
// compatibility.
inline constexpr std::size_t kLeastSectorSize = 4096;
// The read-back's blocks, and the images, are multiples of 32 KiB: no larger sector can be
// kept to.
inline constexpr std::size_t kLargestSectorSize = 32 * 1024;

// A size the system reported, as the read-back keeps to it: at least 4,096 bytes. None when
// it is no power of two or larger than 32 KiB.
std::optional<std::size_t> UsableSectorSize(std::uint64_t reported);

// One answer about a file's sector size; none where the system could not tell.
using SectorSizeQuery = std::function<std::optional<std::uint64_t>()>;

// The sector size of a file's storage as the read-back keeps to it (see UsableSectorSize):
// what the file's own handle says where the system tells that (Windows 8 and later), else
// what its volume says, else 4,096. A reported 0 counts as no answer.
std::optional<std::size_t> ChooseSectorSize(const SectorSizeQuery& from_file,
                                            const SectorSizeQuery& from_volume);

// What Linux reports about direct reads of one file (statx, STATX_DIOALIGN): the alignment
// of offsets and lengths, and that of buffer addresses; 0 where it cannot be read directly.
struct DirectIoReport {
  std::uint32_t offset_align = 0;
  std::uint32_t memory_align = 0;
};

// How direct reads of a file keep aligned.
struct DirectReadAlignment {
  std::size_t offsets;  // offsets and lengths
  std::size_t buffers;  // buffer addresses
};

// The alignment direct reads keep to, from the system's report where there is one (else
// 4,096 for both). None where the file cannot be read directly: the report says 0 (ext4
// mounted with data=journal does), or asks what the read-back cannot keep to.
std::optional<DirectReadAlignment> DirectReadAlignmentFrom(std::optional<DirectIoReport> report);

}  // namespace kelvore
