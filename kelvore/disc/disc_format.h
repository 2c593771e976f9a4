#pragma once

#include <cstddef>
#include <cstdint>

#include "support/rebuild_facts.h"

// Offsets and sizes of the GameCube disc format. All numbers on the disc are big-endian.
namespace kelvore::format {

// Disc header.
inline constexpr std::size_t kGameCodeOffset = 0x000;
inline constexpr std::size_t kGameCodeLength = 4;
inline constexpr std::size_t kMakerOffset = 0x004;
inline constexpr std::size_t kMakerLength = 2;
inline constexpr std::size_t kDiscNumberOffset = 0x006;  // 0 for the first disc
inline constexpr std::size_t kRevisionOffset = 0x007;
inline constexpr std::size_t kAudioStreamingOffset = 0x008;
inline constexpr std::size_t kStreamBufferSizeOffset = 0x009;
inline constexpr std::size_t kMagicOffset = 0x01C;
inline constexpr std::uint32_t kMagicWord = 0xC2339F3D;
inline constexpr std::size_t kGameNameOffset = 0x020;
inline constexpr std::size_t kGameNameEnd = 0x400;
inline constexpr std::size_t kDolOffsetField = 0x420;
inline constexpr std::size_t kFstOffsetField = 0x424;
inline constexpr std::size_t kFstSizeField = 0x428;
inline constexpr std::size_t kHeaderSize = 0x440;

// Disc header information (bi2.bin), which follows the header: its country code at 0x18, a
// big-endian word whose value the console compares with its own region (0 Japan, 1 USA,
// 2 PAL).
inline constexpr std::size_t kRegionOffset = 0x458;

// Apploader: a 0x20-byte header, then its code, then its trailer.
inline constexpr std::uint64_t kApploaderOffset = 0x2440;
inline constexpr std::size_t kApploaderHeaderSize = 0x20;
inline constexpr std::size_t kApploaderCodeSizeField = 0x14;
inline constexpr std::size_t kApploaderTrailerSizeField = 0x18;

// DOL executable header.
inline constexpr std::size_t kDolHeaderSize = 0x100;
inline constexpr std::size_t kDolTextSectionCount = 7;
inline constexpr std::size_t kDolDataSectionCount = 11;
inline constexpr std::size_t kDolTextOffsetsAt = 0x00;
inline constexpr std::size_t kDolDataOffsetsAt = 0x1C;
inline constexpr std::size_t kDolTextSizesAt = 0x90;
inline constexpr std::size_t kDolDataSizesAt = 0xAC;

// File system table: 12-byte entries followed by the string table.
inline constexpr std::size_t kFstEntrySize = 12;
// The console loads the whole table into its 24 MiB of memory; anything near this size is
// damage, not a real table, and holding it would break the tool's memory bound.
inline constexpr std::uint32_t kMaxFstSize = 4 * 1024 * 1024;

// Image sizes and alignments.
inline constexpr std::uint64_t kStandardImageSize = corvane::rebuild::kFullImageSize;
inline constexpr std::uint64_t kLargeImageSize = 3'221'225'472;
inline constexpr std::uint32_t kBlockSize = 32 * 1024;
inline constexpr std::uint32_t kMinFileAlignment = 4;

}  // namespace kelvore::format
