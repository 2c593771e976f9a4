#include "kelvore/tool/image_verifier.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "kelvore/disc/errors.h"
#include "kelvore/disc/text_format.h"

namespace kelvore {

void VerifyImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                 const TransferControl& control) {
  std::vector<std::byte> expected_buffer(kChunkSize);
  std::vector<std::byte> actual_buffer(kChunkSize);
  ForEachChunk(plan, control, [&](const ImagePiece& piece, std::uint64_t at, std::size_t count) {
    const auto expected = PieceBytes(piece, at, {expected_buffer.data(), count}, source);
    const std::span<std::byte> actual(actual_buffer.data(), count);
    output.ReadAt(piece.target_offset + at, actual);
    if (std::memcmp(expected.data(), actual.data(), count) == 0) return;
    const auto difference = std::mismatch(expected.begin(), expected.end(), actual.begin());
    const auto position =
        piece.target_offset + at + static_cast<std::uint64_t>(difference.first - expected.begin());
    throw IoError("Verification failed: " + plan.Describe(piece) +
                  " reads back differently at offset " + Hex(position) + " of the new image.");
  });
}

}  // namespace kelvore
