#include "kelvore/disc/layout.h"

#include <string>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/alignment.h"
#include "kelvore/disc/disc_format.h"
#include "kelvore/disc/streaming_audio.h"

namespace kelvore {
namespace {

using format::kBlockSize;

void RequireFits(std::uint64_t data_end, ImageMode mode) {
  const std::uint64_t image_size = ImageSizeFor(mode);
  if (data_end <= image_size) return;
  const std::string excess = ByteCount(data_end - image_size);
  if (mode == ImageMode::kLarge) {
    throw ImageError("The data does not fit even a 3 GB image: it needs " + excess +
                     " more than its " + ByteCount(image_size) + ".");
  }
  // The 3 GB image places everything as the standard one does, only further out.
  const bool fits_large = data_end <= ImageSizeFor(ImageMode::kLarge);
  throw ImageError(
      "The data does not fit a standard image: it needs " + excess + " more than the " +
      ByteCount(image_size) + " of a full disc." +
      (fits_large ? " The 3 GB mode (g) may help." : " It does not fit a 3 GB image (g) either."));
}

// Places the files one after another from `start`; returns where the last one ends. A file
// without data gets a well-aligned offset but moves nothing after it.
std::uint64_t PlaceFiles(const Disc& disc, LayoutOptions options, std::uint64_t start,
                         const InterruptFlag& interrupted, Layout& layout,
                         std::vector<std::uint64_t>& offsets) {
  std::uint64_t cursor = start;
  for (const DiscFile& file : disc.fst.Files()) {
    StopIfInterrupted(interrupted);
    const bool streaming =
        options.isolate_streaming_audio && IsStreamingAudioName(disc.fst.NameOf(file.entry));
    const bool on_block = options.align_all_files || streaming;
    const std::uint64_t offset =
        AlignUp(cursor, on_block ? kBlockSize : FileAlignment(file.offset));
    offsets.push_back(offset);
    if (file.length == 0) continue;
    cursor = offset + file.length;
    if (streaming) {
      cursor = AlignUp(cursor, kBlockSize);
      layout.streaming_audio_entries.push_back(file.entry);
    }
  }
  return cursor;
}

// The DOL and then the FST go on the 32 KiB boundaries after the system area.
struct SystemPlacement {
  std::uint64_t dol_offset;
  std::uint64_t fst_offset;
  std::uint64_t fst_end;
};

SystemPlacement PlaceSystemFiles(const Disc& disc) {
  const std::uint64_t dol_offset = AlignUp(disc.apploader_end, kBlockSize);
  const std::uint64_t fst_offset = AlignUp(dol_offset + disc.dol_length, kBlockSize);
  return {dol_offset, fst_offset, fst_offset + disc.fst.SizeInBytes()};
}

}  // namespace

std::uint64_t PlannedDataEnd(const Disc& disc, LayoutOptions options,
                             const InterruptFlag& interrupted) {
  Layout unused;
  std::vector<std::uint64_t> offsets;
  return PlaceFiles(disc, options, PlaceSystemFiles(disc).fst_end, interrupted, unused, offsets);
}

std::uint64_t ImageSizeFor(ImageMode mode) {
  return mode == ImageMode::kStandard ? format::kStandardImageSize : format::kLargeImageSize;
}

Layout PlanLayout(const Disc& disc, ImageMode mode, LayoutOptions options,
                  const InterruptFlag& interrupted) {
  Layout layout;
  layout.image_size = ImageSizeFor(mode);
  const auto [dol_offset, fst_offset, fst_end] = PlaceSystemFiles(disc);
  RequireFits(fst_end, mode);

  std::vector<std::uint64_t> offsets;
  offsets.reserve(disc.fst.Files().size());
  const std::uint64_t data_end = PlaceFiles(disc, options, fst_end, interrupted, layout, offsets);
  RequireFits(data_end, mode);

  // The 3 GB image moves the file area as one block towards its end; whole 32 KiB steps keep
  // every file's alignment.
  const std::uint64_t shift =
      mode == ImageMode::kLarge ? AlignDown(layout.image_size - data_end, kBlockSize) : 0;
  layout.dol_offset = static_cast<std::uint32_t>(dol_offset);
  layout.fst_offset = static_cast<std::uint32_t>(fst_offset);
  layout.file_offsets.reserve(offsets.size());
  for (std::uint64_t offset : offsets) {
    layout.file_offsets.push_back(static_cast<std::uint32_t>(offset + shift));
  }
  return layout;
}

}  // namespace kelvore
