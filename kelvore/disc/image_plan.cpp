#include "kelvore/disc/image_plan.h"

#include <utility>

#include "kelvore/disc/big_endian.h"
#include "kelvore/disc/disc_format.h"

namespace kelvore {

ImagePlan::ImagePlan(const Disc& disc, const Layout& layout, std::vector<std::byte> source_header)
    : disc_(disc),
      layout_(layout),
      header_(std::move(source_header)),
      fst_(disc.fst.WithFileOffsets(layout.file_offsets)) {
  StoreBe32(header_, format::kDolOffsetField, layout.dol_offset);
  StoreBe32(header_, format::kFstOffsetField, layout.fst_offset);
}

std::uint64_t ImagePlan::DataBytes() const {
  std::uint64_t total = 0;
  ForEachPiece([&total](const ImagePiece& piece) { total += piece.length; });
  return total;
}

void ImagePlan::ForEachPiece(const std::function<void(const ImagePiece&)>& visit) const {
  using Kind = ImagePiece::Kind;
  visit({.kind = Kind::kHeader, .length = header_.size(), .held = header_});
  visit({.kind = Kind::kSystemArea,
         .target_offset = header_.size(),
         .length = disc_.apploader_end - header_.size(),
         .source_offset = header_.size()});
  visit({.kind = Kind::kDol,
         .target_offset = layout_.dol_offset,
         .length = disc_.dol_length,
         .source_offset = disc_.dol_offset});
  visit({.kind = Kind::kFst,
         .target_offset = layout_.fst_offset,
         .length = fst_.size(),
         .held = fst_});
  const std::vector<DiscFile>& files = disc_.fst.Files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i].length == 0) continue;
    visit({.kind = Kind::kFile,
           .entry = files[i].entry,
           .target_offset = layout_.file_offsets[i],
           .length = files[i].length,
           .source_offset = files[i].offset});
  }
}

std::string ImagePlan::Describe(const ImagePiece& piece) const {
  switch (piece.kind) {
    case ImagePiece::Kind::kHeader:
      return "the disc header";
    case ImagePiece::Kind::kSystemArea:
      return "the header information and apploader";
    case ImagePiece::Kind::kDol:
      return "the DOL";
    case ImagePiece::Kind::kFst:
      return "the FST";
    case ImagePiece::Kind::kFile:
      break;
  }
  return disc_.fst.PathOf(piece.entry);
}

std::string ImagePlan::DescribeOffset(std::uint64_t offset) const {
  std::string description = "an empty stretch";
  ForEachPiece([&](const ImagePiece& piece) {
    if (offset >= piece.target_offset && offset - piece.target_offset < piece.length) {
      description = Describe(piece);
    }
  });
  return description;
}

}  // namespace kelvore
