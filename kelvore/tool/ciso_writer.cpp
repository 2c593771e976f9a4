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

// Places the image's bytes, which arrive in ascending offsets, in the file. A block is stored
// from the first of its bytes that is not zero on, after the blocks stored before it; the
// zeros before that, between the pieces and past the image's end stay unwritten and read as
// zeros, so a stored block is whole in the file and a block of zeros takes no place at all.
// The data stays in the chunks it arrives in: gathering each block in a 2 MiB buffer first,
// too large for the processor's cache, made writing two to three times slower.
class BlockStore {
 public:
  explicit BlockStore(OutputFile& output)
      : output_(output), header_(ciso::EmptyHeader(kBlockSize)), write_back_(output) {}

  // Writes the image's `bytes` at `offset`.
  void Write(std::uint64_t offset, std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
      const auto count = static_cast<std::size_t>(
          std::min<std::uint64_t>(bytes.size(), kBlockSize - offset % kBlockSize));
      WriteInBlock(offset, bytes.first(count));
      bytes = bytes.subspan(count);
      offset += count;
    }
  }

  // Waits for the stored data to reach the storage, then writes the header and gives the file
  // its final size, which it returns.
  std::uint64_t Finish() {
    write_back_.Finish();
    output_.WriteAt(0, header_);
    const std::uint64_t size = ciso::kHeaderSize + stored_ * kBlockSize;
    output_.SetSize(size);
    return size;
  }

 private:
  void WriteInBlock(std::uint64_t offset, std::span<const std::byte> bytes) {
    const std::uint64_t block = offset / kBlockSize;
    if (stored_block_ != block) {
      if (ciso::IsAllZero(bytes)) return;
      ciso::MarkStored(header_, block);
      stored_block_ = block;
      ++stored_;
    }
    const std::uint64_t at = ciso::kHeaderSize + (stored_ - 1) * kBlockSize + offset % kBlockSize;
    output_.WriteAt(at, bytes);
    write_back_.Written(at + bytes.size(), bytes.size());
  }

  OutputFile& output_;
  std::vector<std::byte> header_;
  std::optional<std::uint64_t> stored_block_;  // the last block stored
  std::uint64_t stored_ = 0;
  WriteBack write_back_;
};

}  // namespace

std::uint64_t WriteCisoImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                             const TransferControl& control) {
  output.SetSize(ciso::kHeaderSize + BlocksTouched(plan) * kBlockSize);
  BlockStore blocks(output);
  std::vector<std::byte> buffer(kChunkSize);
  ForEachChunk(plan, control, [&](const ImagePiece& piece, std::uint64_t at, std::size_t count) {
    const std::span<std::byte> bytes(buffer.data(), count);
    ReadPieceBytes(piece, at, bytes, source);
    blocks.Write(piece.target_offset + at, bytes);
  });
  return blocks.Finish();
}

}  // namespace kelvore
