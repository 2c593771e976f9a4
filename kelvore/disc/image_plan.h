#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "kelvore/disc/disc.h"
#include "kelvore/disc/layout.h"

namespace kelvore {

// One stretch of the rebuilt image that holds data; everything between pieces is zero.
struct ImagePiece {
  enum class Kind { kHeader, kSystemArea, kDol, kFst, kFile };

  Kind kind = Kind::kFile;
  std::uint32_t entry = 0;  // FST entry of a file
  std::uint64_t target_offset = 0;
  std::uint64_t length = 0;
  std::uint64_t source_offset = 0;       // where the bytes come from when `held` is empty
  std::span<const std::byte> held = {};  // bytes the plan holds: the rewritten header and FST
};

// What to write where: the source's system area with the DOL and FST offsets rewritten, the
// DOL, the FST with the new file offsets, and every file's data. Refers to `disc` and
// `layout`, which must outlive it.
class ImagePlan {
 public:
  // `source_header` is the source's disc header (its first 0x440 bytes).
  ImagePlan(const Disc& disc, const Layout& layout, std::vector<std::byte> source_header);
  ImagePlan(const ImagePlan&) = delete;
  ImagePlan& operator=(const ImagePlan&) = delete;

  std::uint64_t ImageSize() const { return layout_.image_size; }

  // Sum of the pieces' lengths: the bytes actually written.
  std::uint64_t DataBytes() const;

  // Visits the pieces in ascending target order.
  void ForEachPiece(const std::function<void(const ImagePiece&)>& visit) const;

  // "the DOL", "/audio/track01.adp", ...: names a piece in messages.
  std::string Describe(const ImagePiece& piece) const;

  // Names what lies at `offset` of the image: its piece, or "an empty stretch".
  std::string DescribeOffset(std::uint64_t offset) const;

 private:
  const Disc& disc_;
  const Layout& layout_;
  std::vector<std::byte> header_;
  std::vector<std::byte> fst_;
};

}  // namespace kelvore
