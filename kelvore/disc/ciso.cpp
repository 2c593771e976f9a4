#include "kelvore/disc/ciso.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_format.h"

namespace kelvore::ciso {
namespace {

constexpr char kMagic[] = {'C', 'I', 'S', 'O'};

std::uint32_t LoadLe32(std::span<const std::byte> bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;)
    value = (value << 8) | std::to_integer<std::uint32_t>(bytes[offset + i]);
  return value;
}

void StoreLe32(std::span<std::byte> bytes, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = std::byte(value >> (8 * i));
}

// Whether the `length` bytes of `file` at `offset` are all zeros; read a little at a time.
bool ZerosAt(const ByteSource& file, std::uint64_t offset, std::uint64_t length) {
  std::vector<std::byte> buffer(64 * 1024);
  for (std::uint64_t done = 0; done < length;) {
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), length - done));
    const std::span<std::byte> part(buffer.data(), count);
    file.ReadAt(offset + done, part);
    if (!IsAllZero(part)) return false;
    done += count;
  }
  return true;
}

// Whether everything the file stores that is not zero lies within the first `image_size`
// bytes of the image: the last stored block starts within them, and what it holds past
// them is zeros.
bool DataEndsWithin(const BlockMap& map, const ByteSource& file, std::uint64_t image_size) {
  if (map.SpannedBlocks() == 0) return true;
  const std::uint64_t last = map.SpannedBlocks() - 1;
  const std::uint64_t start = last * map.BlockSize();
  if (start >= image_size) return false;
  const std::uint64_t end = start + map.BlockSize();
  if (end <= image_size) return true;
  return ZerosAt(file, *map.FileOffsetOf(last) + (image_size - start), end - image_size);
}

std::uint64_t AssumedImageSize(const BlockMap& map, const ByteSource& file) {
  for (const std::uint64_t size : {format::kStandardImageSize, format::kLargeImageSize}) {
    if (DataEndsWithin(map, file, size)) return size;
  }
  const std::uint64_t last = map.SpannedBlocks() - 1;
  throw ImageError(Joined({"This CISO file holds data past ", ByteCount(format::kLargeImageSize),
                           ", more than even a 3 GB image holds: its last stored block is block ",
                           GroupedDecimal(last), " of ", ByteCount(map.BlockSize()), ", at offset ",
                           Hex(last * map.BlockSize()), " of the image."}));
}

}  // namespace

bool HasMagic(std::span<const std::byte> first_bytes) {
  return first_bytes.size() >= sizeof kMagic &&
         std::memcmp(first_bytes.data(), kMagic, sizeof kMagic) == 0;
}

std::vector<std::byte> EmptyHeader(std::uint32_t block_size) {
  std::vector<std::byte> header(kHeaderSize);
  std::memcpy(header.data(), kMagic, sizeof kMagic);
  StoreLe32(header, kBlockSizeOffset, block_size);
  return header;
}

void MarkStored(std::span<std::byte> header, std::uint64_t block) {
  header[kMapOffset + block] = std::byte{1};
}

bool IsAllZero(std::span<const std::byte> bytes) {
  // Each byte equals the one after it, and the first is zero: memcmp is the fastest scan.
  return bytes.empty() || (bytes[0] == std::byte{0} &&
                           std::memcmp(bytes.data(), bytes.data() + 1, bytes.size() - 1) == 0);
}

BlockMap::BlockMap(std::span<const std::byte> header)
    : block_size_(LoadLe32(header, kBlockSizeOffset)),
      stored_before_(kMapEntries),
      map_(header.begin() + kMapOffset, header.begin() + kHeaderSize) {
  if (!HasMagic(header))
    throw ImageError("This is not a CISO file: it does not start with \"CISO\".");
  if (block_size_ == 0 || block_size_ % kBlockUnit != 0) {
    throw ImageError(Joined({"This CISO file's block size is ", ByteCount(block_size_),
                             ", but a CISO's blocks are a multiple of 32 KiB (",
                             ByteCount(kBlockUnit), "), of at least that size."}));
  }
  for (std::uint64_t block = 0; block < kMapEntries; ++block) {
    const std::byte entry = map_[block];
    stored_before_[block] = static_cast<std::uint16_t>(stored_blocks_);
    if (entry == std::byte{0}) continue;
    if (entry != std::byte{1}) {
      throw ImageError(Joined({"This CISO file's map is damaged: its entry for block ",
                               GroupedDecimal(block), " is ", Hex(std::to_integer<unsigned>(entry)),
                               ", where only 0 (not stored) and 1 (stored) belong."}));
    }
    ++stored_blocks_;
    spanned_blocks_ = block + 1;
  }
}

std::optional<std::uint64_t> BlockMap::FileOffsetOf(std::uint64_t block) const {
  if (block >= kMapEntries || map_[block] == std::byte{0}) return std::nullopt;
  return kHeaderSize + std::uint64_t{stored_before_[block]} * block_size_;
}

Image::Image(const ByteSource& file, BlockMap map, std::uint64_t image_size)
    : file_(file), map_(std::move(map)), image_size_(image_size) {}

Image Image::Open(const ByteSource& file) {
  if (file.Size() < kHeaderSize) {
    throw ImageError(
        Joined({"This CISO file is ", ByteCount(file.Size()), " long, too short for its ",
                GroupedDecimal(kHeaderSize), "-byte header."}));
  }
  BlockMap map(ReadBytes(file, 0, kHeaderSize));
  if (file.Size() < map.FileSize()) {
    throw ImageError(Joined(
        {"This CISO file is cut short: its map lists ", CountOf(map.StoredBlocks(), "stored block"),
         " of ", ByteCount(map.BlockSize()), ", which take ", ByteCount(map.FileSize()),
         " with the header, but the file is ", ByteCount(file.Size()), " long."}));
  }
  const std::uint64_t image_size = AssumedImageSize(map, file);
  return Image(file, std::move(map), image_size);
}

void Image::ReadAt(std::uint64_t offset, std::span<std::byte> out) const {
  const std::uint32_t block_size = map_.BlockSize();
  while (!out.empty()) {
    const std::uint64_t block = offset / block_size;
    const std::uint64_t in_block = offset % block_size;
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), block_size - in_block));
    const std::span<std::byte> part = out.first(count);
    if (const auto stored = map_.FileOffsetOf(block)) {
      file_.ReadAt(*stored + in_block, part);
    } else {
      std::fill(part.begin(), part.end(), std::byte{0});
    }
    out = out.subspan(count);
    offset += count;
  }
}

}  // namespace kelvore::ciso
