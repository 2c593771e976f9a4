#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "kelvore/disc/byte_source.h"

// CISO, the compact image the common GameCube loaders and emulators read: the image cut into
// blocks, of which only those holding data are stored. The file starts with a 0x8000-byte
// header: the magic "CISO", the block size as a little-endian 32-bit number, and a map of one
// byte per block of the image, 1 where the block is stored. The stored blocks follow in the
// image's order, each whole; a block not stored reads as zeros.
namespace kelvore::ciso {

inline constexpr std::uint64_t kHeaderSize = 0x8000;
inline constexpr std::size_t kBlockSizeOffset = 4;
inline constexpr std::size_t kMapOffset = 8;
inline constexpr std::uint32_t kMapEntries = kHeaderSize - kMapOffset;  // at most 0x7FF8 blocks

// Readers need a block size that is a multiple of 32 KiB (the format's descriptions, such as
// Wiimm's analysis on GBAtemp, "CISO file format", and the image-format guide of Wiimm's ISO
// Tools, give that, and 2 MiB as the usual size, which USB loaders also use for their WBFS
// blocks; other tools write 1 to 4 MiB).
inline constexpr std::uint32_t kBlockUnit = 32 * 1024;

// The block size kelvore writes: the usual 2 MiB. A standard disc takes 697 blocks, a 3 GB
// image 1,536, well within the map; the image's data is contiguous, so a larger block would
// cost at most a few MiB of zeros at its ends.
inline constexpr std::uint32_t kBlockSize = 2 * 1024 * 1024;

// The blocks an image of `image_size` bytes spans, the last one possibly in part.
constexpr std::uint64_t BlocksOf(std::uint64_t image_size, std::uint32_t block_size) {
  return (image_size + block_size - 1) / block_size;
}

// Whether the file's first bytes are the magic.
bool HasMagic(std::span<const std::byte> first_bytes);

// A header with the magic, `block_size` and an empty map; MarkStored fills the map.
std::vector<std::byte> EmptyHeader(std::uint32_t block_size);
void MarkStored(std::span<std::byte> header, std::uint64_t block);

// Whether every byte is zero: such a block is not stored.
bool IsAllZero(std::span<const std::byte> bytes);

// A CISO file's header, checked: the magic, a block size that is a multiple of 32 KiB, and
// map bytes that are 0 or 1.
class BlockMap {
 public:
  // Throws ImageError naming what is wrong.
  explicit BlockMap(std::span<const std::byte> header);

  std::uint32_t BlockSize() const { return block_size_; }
  std::uint64_t StoredBlocks() const { return stored_blocks_; }
  // The blocks up to the last stored one: the part of the image the stored data spans.
  std::uint64_t SpannedBlocks() const { return spanned_blocks_; }
  // Where block `block` lies in the file; nothing when it is not stored.
  std::optional<std::uint64_t> FileOffsetOf(std::uint64_t block) const;
  // The header and every stored block, whole.
  std::uint64_t FileSize() const { return kHeaderSize + stored_blocks_ * block_size_; }

 private:
  std::uint32_t block_size_ = 0;
  std::uint64_t stored_blocks_ = 0;
  std::uint64_t spanned_blocks_ = 0;
  std::vector<std::uint16_t> stored_before_;  // per map entry: the stored blocks before it
  std::vector<std::byte> map_;
};

// The image a CISO file stands for, read through the file. Refers to `file`, which must
// outlive it.
class Image : public ByteSource {
 public:
  Image(const ByteSource& file, BlockMap map, std::uint64_t image_size);

  // Opens a CISO file as an input: checks its header, that it holds every stored block whole,
  // and takes the size of the image it stands for, which the header does not hold: the full
  // disc's 1,459,978,240 bytes when the stored data ends within them, else 3,221,225,472 (a
  // 3 GB image) when it ends within that. Every stored block is whole, so the last one may go
  // on past the image's end: there it must hold zeros, or the data does not end within that
  // size. Throws ImageError for a truncated or malformed file, or data past both sizes.
  static Image Open(const ByteSource& file);

  const BlockMap& Map() const { return map_; }

  std::uint64_t Size() const override { return image_size_; }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override;

 private:
  const ByteSource& file_;
  BlockMap map_;
  std::uint64_t image_size_;
};

}  // namespace kelvore::ciso
