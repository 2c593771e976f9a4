#include "kelvore/tool/image_writer.h"

#include <vector>

namespace kelvore {

void WriteImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                const TransferControl& control) {
  std::vector<std::byte> buffer(kChunkSize);
  ForEachChunk(plan, control, [&](const ImagePiece& piece, std::uint64_t at, std::size_t count) {
    output.WriteAt(piece.target_offset + at, PieceBytes(piece, at, {buffer.data(), count}, source));
  });
  output.SetSize(plan.ImageSize());
}

}  // namespace kelvore
