#include "kelvore/tool/piece_chunks.h"

#include <algorithm>

namespace kelvore {

void ForEachChunk(const ImagePlan& plan, const TransferControl& control, const ChunkStep& step) {
  std::uint64_t done = 0;
  plan.ForEachPiece([&](const ImagePiece& piece) {
    for (std::uint64_t at = 0; at < piece.length;) {
      StopIfInterrupted(control.interrupted);
      const auto count =
          static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, piece.length - at));
      step(piece, at, count);
      at += count;
      done += count;
      control.progress(done);
    }
  });
}

void ReadPieceBytes(const ImagePiece& piece, std::uint64_t offset_in_piece,
                    std::span<std::byte> out, const ByteSource& source) {
  if (piece.held.empty()) return source.ReadAt(piece.source_offset + offset_in_piece, out);
  const auto held = piece.held.subspan(static_cast<std::size_t>(offset_in_piece), out.size());
  std::copy(held.begin(), held.end(), out.begin());
}

}  // namespace kelvore
