#include "kelvore/tool/ciso_verifier.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/ciso.h"
#include "kelvore/tool/image_verifier.h"

namespace kelvore {
namespace {

[[noreturn]] void Fail(std::string_view what) {
  throw IoError(Joined({"Verification failed: ", what}));
}

// The CISO file's bytes through its StorageReader, for ciso::Image, whose reads keep the
// alignment of the reads asked of it.
class StorageBytes : public ByteSource {
 public:
  explicit StorageBytes(StorageReader& reader) : reader_(reader) {}

  std::uint64_t Size() const override { return reader_.Size(); }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    reader_.ReadAt(offset, out);
  }

 private:
  StorageReader& reader_;
};

// A header-sized buffer at an address the reader takes.
class AlignedHeaderBuffer {
 public:
  explicit AlignedHeaderBuffer(std::size_t alignment) : storage_(ciso::kHeaderSize + alignment) {
    void* start = storage_.data();
    std::size_t space = storage_.size();
    bytes_ = {static_cast<std::byte*>(std::align(alignment, ciso::kHeaderSize, start, space)),
              ciso::kHeaderSize};
  }

  std::span<std::byte> Bytes() const { return bytes_; }

 private:
  std::vector<std::byte> storage_;
  std::span<std::byte> bytes_;
};

ciso::BlockMap ReadHeader(StorageReader& file, std::span<std::byte> buffer) {
  file.ReadAt(0, buffer);
  if (!ciso::HasMagic(buffer)) {
    Fail("the new image's header reads back from the disk without its magic \"CISO\".");
  }
  std::optional<ciso::BlockMap> map;
  try {
    map.emplace(buffer);
  } catch (const ImageError& error) {
    Fail(std::string("the new image's header reads back from the disk damaged. ") + error.what());
  }
  if (map->BlockSize() != ciso::kBlockSize) {
    Fail(Joined({"the new image's header reads back from the disk with a block size of ",
                 ByteCount(map->BlockSize()), " instead of ", ByteCount(ciso::kBlockSize), "."}));
  }
  return std::move(*map);
}

// The CISO file on the disk as the image it stands for, to be read front to back by
// VerifyImage; along the way it checks what the image's bytes alone cannot show.
class CisoReadBack : public StorageReader {
 public:
  CisoReadBack(StorageReader& file, std::uint64_t image_size)
      : file_(file),
        file_bytes_(file),
        buffer_(file.BufferAlignment()),
        image_(file_bytes_, ReadHeader(file, buffer_.Bytes()), image_size),
        blocks_(ciso::BlocksOf(image_size, ciso::kBlockSize)) {
    const ciso::BlockMap& map = image_.Map();
    if (map.SpannedBlocks() > blocks_) {
      Fail(Joined({"the new image's map reads back from the disk with block ",
                   GroupedDecimal(map.SpannedBlocks() - 1),
                   " stored, past the image's last block, ", GroupedDecimal(blocks_ - 1), "."}));
    }
    if (file.Size() != map.FileSize()) {
      Fail(Joined({"the new image's file is ", ByteCount(file.Size()),
                   " long on the disk, where the header and the ",
                   CountOf(map.StoredBlocks(), "stored block"), " its map lists take ",
                   ByteCount(map.FileSize()), "."}));
    }
  }

  std::size_t SectorSize() const override { return file_.SectorSize(); }
  std::size_t BufferAlignment() const override { return file_.BufferAlignment(); }
  bool BypassesCache() const override { return file_.BypassesCache(); }
  std::uint64_t Size() const override { return image_.Size(); }

  // Reads come in ascending offsets.
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) override {
    image_.ReadAt(offset, out);
    NoteStoredData(offset, out);
    if (offset + out.size() == image_.Size()) {
      RequireDataInOpenBlock();
      RequireZerosPastTheEnd();
    }
  }

 private:
  // Follows whether each stored block holds anything but zeros.
  void NoteStoredData(std::uint64_t offset, std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
      const std::uint64_t block = offset / ciso::kBlockSize;
      const auto count = static_cast<std::size_t>(
          std::min<std::uint64_t>(bytes.size(), ciso::kBlockSize - offset % ciso::kBlockSize));
      if (image_.Map().FileOffsetOf(block)) {
        if (open_block_ != block) {
          RequireDataInOpenBlock();
          open_block_ = block;
          open_block_has_data_ = false;
        }
        if (!open_block_has_data_) open_block_has_data_ = !ciso::IsAllZero(bytes.first(count));
      }
      bytes = bytes.subspan(count);
      offset += count;
    }
  }

  void RequireDataInOpenBlock() const {
    if (!open_block_ || open_block_has_data_) return;
    Fail(Joined({"block ", GroupedDecimal(*open_block_), " of the new image, at offset ",
                 Hex(*open_block_ * ciso::kBlockSize),
                 ", is stored although it holds only zeros, which are left out."}));
  }

  // The last block is stored whole even where the image ends within it: zeros follow. Both
  // the image's size and the block's are multiples of 32 KiB, read a buffer at a time.
  void RequireZerosPastTheEnd() {
    const std::uint64_t last = blocks_ - 1;
    const auto stored = image_.Map().FileOffsetOf(last);
    if (!stored) return;
    const std::span<std::byte> part = buffer_.Bytes();
    for (std::uint64_t at = image_.Size() - last * ciso::kBlockSize; at < ciso::kBlockSize;
         at += part.size()) {
      file_.ReadAt(*stored + at, part);
      if (ciso::IsAllZero(part)) continue;
      Fail(
          Joined({"the new image's last block reads back from the disk with data past the "
                  "image's end, between offsets ",
                  Hex(*stored + at), " and ", Hex(*stored + at + part.size()), " of the file."}));
    }
  }

  StorageReader& file_;
  StorageBytes file_bytes_;
  AlignedHeaderBuffer buffer_;
  ciso::Image image_;
  std::uint64_t blocks_;  // the blocks the image spans
  std::optional<std::uint64_t> open_block_;
  bool open_block_has_data_ = false;
};

}  // namespace

void VerifyCisoImage(const ImagePlan& plan, const ByteSource& source, StorageReader& reader,
                     const TransferControl& control) {
  CisoReadBack image(reader, plan.ImageSize());
  VerifyImage(plan, source, image, control);
}

}  // namespace kelvore
