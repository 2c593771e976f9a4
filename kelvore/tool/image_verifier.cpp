#include "kelvore/tool/image_verifier.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/base/threads.h"

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

// Reads the image block by block, in order, on a thread of its own and ahead of the
// comparison, so that the storage goes on reading while the processor compares. Once
// `interrupted` is set it reads no further block.
class ReadAhead {
 public:
  ReadAhead(StorageReader& reader, std::uint64_t size, const InterruptFlag& interrupted)
      : reader_(reader),
        size_(size),
        interrupted_(interrupted),
        buffers_{AlignedBuffer(kReadBackBlock, reader.BufferAlignment()),
                 AlignedBuffer(kReadBackBlock, reader.BufferAlignment()),
                 AlignedBuffer(kReadBackBlock, reader.BufferAlignment())} {}

  // Stops the reading once the block it is reading is done.
  ~ReadAhead() {
    stopped_ = true;
    free_buffers_.Release();
    thread_.Join();
  }
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The next block, once it is read; it stays valid until the next call. Throws what reading
  // it threw.
  std::span<const std::byte> Next() {
    if (taken_ > 0) free_buffers_.Release();
    read_blocks_.Acquire();
    if (failure_) std::rethrow_exception(failure_);
    return Block(taken_++);
  }

 private:
  std::span<std::byte> Block(std::uint64_t index) {
    const std::uint64_t offset = index * kReadBackBlock;
    const auto length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kReadBackBlock, size_ - offset));
    return buffers_[index % buffers_.size()].First(length);
  }

  void ReadAll() {
    for (std::uint64_t index = 0; index * kReadBackBlock < size_; ++index) {
      free_buffers_.Acquire();
      if (stopped_) return;
      try {
        StopIfInterrupted(interrupted_);
        reader_.ReadAt(index * kReadBackBlock, Block(index));
      } catch (...) {
        failure_ = std::current_exception();
        read_blocks_.Release();
        return;
      }
      read_blocks_.Release();
    }
  }

  StorageReader& reader_;
  const std::uint64_t size_;
  const InterruptFlag& interrupted_;
  // Two blocks ahead of the one compared: either side can fall behind for a moment.
  std::array<AlignedBuffer, 3> buffers_;
  Semaphore free_buffers_{3};
  Semaphore read_blocks_{0};
  std::atomic<bool> stopped_{false};
  std::exception_ptr failure_;            // set by the reading thread before it releases the block
  std::uint64_t taken_ = 0;               // blocks handed out
  Thread thread_{[this] { ReadAll(); }};  // last: starts once everything else is in place
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
