#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "kelvore/base/interruption.h"
#include "kelvore/disc/byte_source.h"
#include "kelvore/disc/image_plan.h"

namespace kelvore {

// Data moves in chunks of this size: large enough to keep system calls rare, small enough to
// stay in the processor's cache and keep the tool's memory small whatever the image size.
inline constexpr std::size_t kChunkSize = 256 * 1024;

struct TransferControl {
  const InterruptFlag& interrupted;
  std::function<void(std::uint64_t bytes_done)> progress;
};

using ChunkStep =
    std::function<void(const ImagePiece& piece, std::uint64_t offset_in_piece, std::size_t count)>;

// Runs `step` over every chunk of every piece of the plan. Before each chunk it stops with
// IoError if the user interrupted; after each it reports progress.
void ForEachChunk(const ImagePlan& plan, const TransferControl& control, const ChunkStep& step);

// Fills `out` with the bytes of `piece` at `offset_in_piece`: from the plan itself or read
// from the source.
void ReadPieceBytes(const ImagePiece& piece, std::uint64_t offset_in_piece,
                    std::span<std::byte> out, const ByteSource& source);

}  // namespace kelvore
