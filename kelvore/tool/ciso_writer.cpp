#include "kelvore/tool/ciso_writer.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "kelvore/disc/ciso.h"
#include "kelvore/disc/disc_format.h"
#include "kelvore/tool/write_back.h"

namespace kelvore {
namespace {

using ciso::kBlockSize;

static_assert(ciso::BlocksOf(format::kLargeImageSize, kBlockSize) <= ciso::kMapEntries,
              "the map covers a 3 GB image");

// The blocks any piece touches: the most the file can store.
std::uint64_t BlocksTouched(const ImagePlan& plan) {
  std::uint64_t count = 0;
  std::optional<std::uint64_t> last_counted;
  plan.ForEachPiece([&](const ImagePiece& piece) {
    if (piece.length == 0) return;
    const std::uint64_t first = piece.target_offset / kBlockSize;
    const std::uint64_t last = (piece.target_offset + piece.length - 1) / kBlockSize;
    const std::uint64_t from = last_counted ? std::max(first, *last_counted + 1) : first;
    if (last >= from) count += last - from + 1;
    last_counted = last;  // pieces come in ascending order
  });
  return count;
}

// Collects the image's bytes, which arrive in ascending offsets, block by block, and stores
// each block that is not all zeros after the ones stored before it.
class BlockStore {
 public:
  explicit BlockStore(OutputFile& output)
      : output_(output),
        header_(ciso::EmptyHeader(kBlockSize)),
        block_(kBlockSize),
        write_back_(output) {}

  // Where the image's bytes at `offset` go, at most `limit` of them; the block before is
  // stored first.
  std::span<std::byte> At(std::uint64_t offset, std::uint64_t limit) {
    const std::uint64_t block = offset / kBlockSize;
    if (current_ != block) {
      StoreCurrent();
      current_ = block;
    }
    const auto in_block = static_cast<std::size_t>(offset % kBlockSize);
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(limit, kBlockSize - in_block));
    ZeroUpTo(in_block);
    filled_end_ = in_block + count;
    return std::span(block_).subspan(in_block, count);
  }

  // Stores the last block, waits for the stored data to reach the storage, then writes the
  // header and gives the file its final size, which it returns.
  std::uint64_t Finish() {
    StoreCurrent();
    write_back_.Finish();
    output_.WriteAt(0, header_);
    const std::uint64_t size = ciso::kHeaderSize + stored_ * kBlockSize;
    output_.SetSize(size);
    return size;
  }

 private:
  // The buffer still holds the previous block's bytes: what no piece fills is zeroed, and
  // only that.
  void ZeroUpTo(std::size_t end) {
    if (end > filled_end_)
      std::fill(block_.begin() + filled_end_, block_.begin() + end, std::byte{0});
  }

  void StoreCurrent() {
    if (!current_) return;
    ZeroUpTo(kBlockSize);
    filled_end_ = 0;
    if (ciso::IsAllZero(block_)) return;
    const std::uint64_t offset = ciso::kHeaderSize + stored_ * kBlockSize;
    output_.WriteAt(offset, block_);
    write_back_.Written(offset + kBlockSize, kBlockSize);
    ciso::MarkStored(header_, *current_);
    ++stored_;
  }

  OutputFile& output_;
  std::vector<std::byte> header_;
  std::vector<std::byte> block_;
  std::size_t filled_end_ = 0;            // how much of the block's buffer holds its bytes
  std::optional<std::uint64_t> current_;  // the block being assembled
  std::uint64_t stored_ = 0;
  WriteBack write_back_;
};

}  // namespace

std::uint64_t WriteCisoImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                             const TransferControl& control) {
  output.SetSize(ciso::kHeaderSize + BlocksTouched(plan) * kBlockSize);
  BlockStore blocks(output);
  ForEachChunk(plan, control, [&](const ImagePiece& piece, std::uint64_t at, std::size_t count) {
    for (std::uint64_t done = 0; done < count;) {
      const std::span<std::byte> bytes = blocks.At(piece.target_offset + at + done, count - done);
      ReadPieceBytes(piece, at + done, bytes, source);
      done += bytes.size();
    }
  });
  return blocks.Finish();
}

}  // namespace kelvore
