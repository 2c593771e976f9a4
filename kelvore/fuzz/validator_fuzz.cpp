// libFuzzer target: any byte string as a disc image, or, starting with "CISO", as a CISO file
// read as the image it stands for. Validation must refuse it with an ImageError or accept it;
// an accepted image must plan into a layout that stays inside the image in every mode.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/disc/byte_source.h"
#include "kelvore/disc/ciso.h"
#include "kelvore/disc/disc_format.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/disc/layout.h"
#include "kelvore/disc/memory_byte_source.h"

namespace {

using namespace kelvore;

// Files with data follow one another without overlapping; files without data only point
// inside the image.
bool LayoutStaysInside(const Disc& disc, const Layout& layout) {
  std::uint64_t previous_end = layout.fst_offset + std::uint64_t{disc.fst.SizeInBytes()};
  const auto& files = disc.fst.Files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i].length == 0) {
      if (layout.file_offsets[i] > layout.image_size) return false;
      continue;
    }
    if (layout.file_offsets[i] < previous_end) return false;
    previous_end = std::uint64_t{layout.file_offsets[i]} + files[i].length;
  }
  return previous_end <= layout.image_size;
}

void PlanEveryWay(const ByteSource& source, const Disc& disc) {
  for (ImageMode mode : {ImageMode::kStandard, ImageMode::kLarge}) {
    for (bool align_all : {false, true}) {
      try {
        const Layout layout = PlanLayout(disc, mode, {align_all, !align_all});
        if (!LayoutStaysInside(disc, layout)) __builtin_trap();
        const ImagePlan plan(disc, layout, ReadBytes(source, 0, format::kHeaderSize));
        if (plan.DataBytes() > layout.image_size) __builtin_trap();
      } catch (const ImageError&) {
        // Does not fit this mode: a normal refusal.
      }
    }
  }
}

void CheckImage(const ByteSource& source) {
  const Disc disc = ReadDisc(source);
  for (const DiscFile& file : disc.fst.Files()) disc.fst.PathOf(file.entry);
  PlanEveryWay(source, disc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::byte> bytes(size);
  if (size != 0) std::memcpy(bytes.data(), data, size);
  const MemoryByteSource source(std::move(bytes));
  try {
    if (ciso::HasMagic(ReadBytes(source, 0, std::min<std::size_t>(size, 4)))) {
      CheckImage(ciso::Image::Open(source));
    } else {
      CheckImage(source);
    }
  } catch (const ImageError&) {
    // Refused with a message: what the validator is for.
  }
  return 0;
}
