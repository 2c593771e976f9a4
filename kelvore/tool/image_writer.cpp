#include "kelvore/tool/image_writer.h"

#include <vector>

#include "kelvore/tool/write_back.h"

namespace kelvore {

void WriteImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                const TransferControl& control) {
  output.SetSize(plan.ImageSize());
  std::vector<std::byte> buffer(kChunkSize);
  WriteBack write_back(output);
  ForEachChunk(plan, control, [&](const ImagePiece& piece, std::uint64_t at, std::size_t count) {
    const std::span<std::byte> bytes(buffer.data(), count);
    ReadPieceBytes(piece, at, bytes, source);
    const std::uint64_t offset = piece.target_offset + at;
    output.WriteAt(offset, bytes);
    write_back.Written(offset + count, count);
  });
  write_back.Finish();
}

}  // namespace kelvore
