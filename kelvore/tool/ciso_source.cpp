#include "kelvore/tool/ciso_source.h"

#include <utility>

#include "kelvore/base/message_format.h"
#include "kelvore/disc/ciso.h"
#include "kelvore/disc/disc_format.h"

namespace kelvore {
namespace {

// A CISO file as the image it stands for; what tells it apart from other files and from a
// later state of itself is the file's own.
class CisoSourceImage : public SourceImage {
 public:
  explicit CisoSourceImage(std::unique_ptr<SourceImage> file)
      : file_(std::move(file)), image_(ciso::Image::Open(*file_)) {}

  const ciso::Image& Image() const { return image_; }

  std::uint64_t Size() const override { return image_.Size(); }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    image_.ReadAt(offset, out);
  }
  bool IsFileAt(const std::string& path) const override { return file_->IsFileAt(path); }
  bool ChangedSinceOpened() const override { return file_->ChangedSinceOpened(); }

 private:
  std::unique_ptr<SourceImage> file_;
  ciso::Image image_;
};

bool StartsWithCisoMagic(const SourceImage& file) {
  constexpr std::size_t kMagicLength = 4;
  return file.Size() >= kMagicLength && ciso::HasMagic(ReadBytes(file, 0, kMagicLength));
}

// "CISO file: 583 of its 697 blocks of 2,048 KiB stored. ..." with the size taken and why.
std::string CisoLine(const ciso::Image& image) {
  const ciso::BlockMap& map = image.Map();
  const std::string blocks = Joined({"CISO file: ", GroupedDecimal(map.StoredBlocks()), " of its ",
                                     GroupedDecimal(ciso::BlocksOf(image.Size(), map.BlockSize())),
                                     " blocks of ", GroupedDecimal(map.BlockSize() / 1024),
                                     " KiB stored. Its header holds no image size: "});
  if (image.Size() == format::kStandardImageSize) {
    return Joined({blocks, "taken as a full disc of ", ByteCount(image.Size()),
                   ", within which its data ends."});
  }
  return Joined({blocks, "taken as a 3 GB image of ", ByteCount(image.Size()),
                 ", as its data goes on past a full disc's ", ByteCount(format::kStandardImageSize),
                 "."});
}

}  // namespace

std::unique_ptr<SourceImage> OpenImageOrCiso(const SourceOpener& open_file, const std::string& path,
                                             Console& console) {
  std::unique_ptr<SourceImage> file = open_file(path);
  if (!StartsWithCisoMagic(*file)) return file;
  auto image = std::make_unique<CisoSourceImage>(std::move(file));
  console.Line(CisoLine(image->Image()));
  return image;
}

}  // namespace kelvore
