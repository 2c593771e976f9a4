#include "kelvore/tool/image_verifier.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/tool/buffer_ring.h"

namespace kelvore {
namespace {

// Reads the image block by block, in order, on a thread of its own and ahead of the
// comparison, so that the storage goes on reading while the processor compares. Once
// `interrupted` is set it reads no further block.
class ReadAhead {
 public:
  ReadAhead(StorageReader& reader, std::uint64_t size, const InterruptFlag& interrupted)
      : reader_(reader),
        size_(size),
        interrupted_(interrupted),
        ring_({.buffers = kBlocksInHand,
               .buffer_size = kReadBackBlock,
               .alignment = reader.BufferAlignment()},
              BufferRing::FirstHolder::kWorker,
              [this](std::uint64_t block, RingBuffer& buffer) { Read(block, buffer); }) {}

  // The next block, once it is read; it stays valid until the next call. Throws what reading
  // it threw, once every block before it has been handed out.
  std::span<const std::byte> Next() {
    if (taken_++ > 0) ring_.Give();
    return ring_.Take().Data();
  }

 private:
  // Two blocks ahead of the one compared: either side can fall behind for a moment.
  static constexpr std::uint32_t kBlocksInHand = 3;

  // The turns past the image's end, which the ring goes on to while the last blocks are
  // compared, read nothing.
  void Read(std::uint64_t block, RingBuffer& buffer) {
    const std::uint64_t offset = block * kReadBackBlock;
    buffer.length = static_cast<std::size_t>(
        std::min<std::uint64_t>(kReadBackBlock, size_ - std::min(offset, size_)));
    if (buffer.length == 0) return;
    StopIfInterrupted(interrupted_);
    reader_.ReadAt(offset, buffer.Data());
  }

  StorageReader& reader_;
  const std::uint64_t size_;
  const InterruptFlag& interrupted_;
  std::uint64_t taken_ = 0;  // blocks handed out
  BufferRing ring_;          // last: its thread reads through the members above
};

// Compares the image block by block with the expected bytes, which arrive in ascending
// offsets and are zero wherever nothing arrives.
class BlockComparer {
 public:
  BlockComparer(const ImagePlan& plan, StorageReader& reader, const TransferControl& control)
      : plan_(plan),
        control_(control),
        expected_(kReadBackBlock),
        disk_(reader, plan.ImageSize(), control.interrupted) {}

  // Where the expected bytes at `offset` go, at most `limit` of them: the blocks before
  // it are compared first.
  std::span<std::byte> ExpectedAt(std::uint64_t offset, std::uint64_t limit) {
    while (offset >= block_begin_ + kReadBackBlock) CompareBlock();
    const auto in_block = static_cast<std::size_t>(offset - block_begin_);
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(limit, kReadBackBlock - in_block));
    ZeroUpTo(in_block);
    filled_end_ = in_block + count;
    return std::span(expected_).subspan(in_block, count);
  }

  // Compares the rest of the image.
  void Finish() {
    while (block_begin_ < plan_.ImageSize()) CompareBlock();
  }

 private:
  // The buffer still holds the previous block's bytes: what no piece fills is zeroed, and
  // only that.
  void ZeroUpTo(std::size_t end) {
    if (end > filled_end_)
      std::fill(expected_.begin() + filled_end_, expected_.begin() + end, std::byte{0});
  }

  void CompareBlock() {
    StopIfInterrupted(control_.interrupted);
    const std::span<const std::byte> actual = disk_.Next();
    ZeroUpTo(actual.size());
    if (std::memcmp(expected_.data(), actual.data(), actual.size()) != 0) {
      const auto difference = std::mismatch(actual.begin(), actual.end(), expected_.begin());
      ReportDifference(block_begin_ +
                       static_cast<std::uint64_t>(difference.first - actual.begin()));
    }
    filled_end_ = 0;
    block_begin_ += actual.size();
    control_.progress(block_begin_);
  }

  [[noreturn]] void ReportDifference(std::uint64_t offset) const {
    throw IoError("Verification failed: " + plan_.DescribeOffset(offset) +
                  " reads back from the disk differently at offset " + Hex(offset) +
                  " of the new image.");
  }

  const ImagePlan& plan_;
  const TransferControl& control_;
  std::vector<std::byte> expected_;
  std::size_t filled_end_ = 0;  // how much of this block's buffer holds its bytes
  std::uint64_t block_begin_ = 0;
  ReadAhead disk_;
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
