#include "kelvore/tool/image_verifier.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "kelvore/disc/errors.h"
#include "kelvore/disc/text_format.h"

namespace kelvore {
namespace {

// A buffer whose address is a multiple of `alignment`, as unbuffered reads require.
class AlignedBuffer {
 public:
  AlignedBuffer(std::size_t size, std::size_t alignment) : storage_(size + alignment) {
    void* start = storage_.data();
    std::size_t space = storage_.size();
    data_ = static_cast<std::byte*>(std::align(alignment, size, start, space));
  }

  std::span<std::byte> First(std::size_t count) { return {data_, count}; }

 private:
  std::vector<std::byte> storage_;
  std::byte* data_;
};

// Compares the image block by block with the expected bytes, which arrive in ascending
// offsets and are zero wherever nothing arrives.
class BlockComparer {
 public:
  BlockComparer(const ImagePlan& plan, StorageReader& reader, const TransferControl& control)
      : plan_(plan),
        reader_(reader),
        control_(control),
        expected_(kReadBackBlock),
        actual_(kReadBackBlock, reader.SectorSize()) {}

  // Where the expected bytes at `offset` go, at most `limit` of them: the blocks before
  // it are compared first.
  std::span<std::byte> ExpectedAt(std::uint64_t offset, std::uint64_t limit) {
    while (offset >= block_begin_ + kReadBackBlock) CompareBlock();
    const auto in_block = static_cast<std::size_t>(offset - block_begin_);
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(limit, kReadBackBlock - in_block));
    return std::span(expected_).subspan(in_block, count);
  }

  // Compares the rest of the image.
  void Finish() {
    while (block_begin_ < plan_.ImageSize()) CompareBlock();
  }

 private:
  void CompareBlock() {
    StopIfInterrupted(control_.interrupted);
    const auto length = static_cast<std::size_t>(
        std::min<std::uint64_t>(kReadBackBlock, plan_.ImageSize() - block_begin_));
    const std::span<std::byte> actual = actual_.First(length);
    reader_.ReadAt(block_begin_, actual);
    if (std::memcmp(expected_.data(), actual.data(), length) != 0) {
      const auto difference = std::mismatch(actual.begin(), actual.end(), expected_.begin());
      ReportDifference(block_begin_ +
                       static_cast<std::uint64_t>(difference.first - actual.begin()));
    }
    std::fill_n(expected_.begin(), length, std::byte{0});
    block_begin_ += length;
    control_.progress(block_begin_);
  }

  [[noreturn]] void ReportDifference(std::uint64_t offset) const {
    throw IoError("Verification failed: " + plan_.DescribeOffset(offset) +
                  " reads back from the disk differently at offset " + Hex(offset) +
                  " of the new image.");
  }

  const ImagePlan& plan_;
  StorageReader& reader_;
  const TransferControl& control_;
  std::vector<std::byte> expected_;
  AlignedBuffer actual_;
  std::uint64_t block_begin_ = 0;
};

}  // namespace

void VerifyImage(const ImagePlan& plan, const ByteSource& source, StorageReader& reader,
                 const TransferControl& control) {
  BlockComparer comparer(plan, reader, control);
  plan.ForEachPiece([&](const ImagePiece& piece) {
    for (std::uint64_t at = 0; at < piece.length;) {
      const std::span<std::byte> expected =
          comparer.ExpectedAt(piece.target_offset + at, piece.length - at);
      ReadPieceBytes(piece, at, expected, source);
      at += expected.size();
    }
  });
  comparer.Finish();
}

}  // namespace kelvore
