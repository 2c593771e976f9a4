#pragma once

#include <cstdint>
#include <vector>

#include "kelvore/base/interruption.h"
#include "kelvore/disc/disc.h"

namespace kelvore {

enum class ImageMode {
  kStandard,  // "f": a full 1,459,978,240-byte disc
  kLarge,     // "g": a 3 GB image with the files at its end, the disc's outer edge
};

std::uint64_t ImageSizeFor(ImageMode mode);

struct LayoutOptions {
  bool align_all_files = false;          // "t": every file on 32 KiB
  bool isolate_streaming_audio = false;  // "s": streaming audio on whole 32 KiB blocks
};

// Where everything goes in the rebuilt image.
struct Layout {
  std::uint64_t image_size = 0;
  std::uint32_t dol_offset = 0;
  std::uint32_t fst_offset = 0;
  std::vector<std::uint32_t> file_offsets;             // follows Disc::fst.Files()
  std::vector<std::uint32_t> streaming_audio_entries;  // FST entries placed as streaming audio
};

// Keeps the system area up to the end of the apploader, puts the DOL and then the FST on the
// following 32 KiB boundaries and every file after them in FST order, each on its alignment;
// a file without data takes no space. Throws ImageError when the data does not fit the mode's
// image size, IoError once `interrupted` is set.
Layout PlanLayout(const Disc& disc, ImageMode mode, LayoutOptions options,
                  const InterruptFlag& interrupted = NeverInterrupted());

// Where the last file's data ends in the layout `options` give (before a 3 GB image moves
// the files outward): the least image size that holds the data, whatever the mode.
std::uint64_t PlannedDataEnd(const Disc& disc, LayoutOptions options,
                             const InterruptFlag& interrupted = NeverInterrupted());

}  // namespace kelvore
