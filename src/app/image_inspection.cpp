#include "app/image_inspection.h"

#include "support/file_size_format.h"

namespace corvane::app {

ImageClassification ClassifyLength(std::int32_t length) {
  if (length < StandardImageSize) {
    return {"Wiped Image", "You should consider rebuilding this image.", image_state::kWiped};
  }
  if (length == StandardImageSize) {
    return {"Good Image", "This image is okay, nothing to do.", image_state::kGood};
  }
  return {"Oversize Image?", "Oversized image, cannot give advice.", image_state::kOversize};
}

std::string ImageSizeLine(std::int64_t length, const platform::NumberFormat& format) {
  return std::to_string(length) + " Bytes / " +
         mFunctions::FormatFileSize(static_cast<double>(length), format);
}

ImageInspection::ImageInspection(MainView& view, StreamFactory makeStream,
                                 const platform::NumberFormat& format)
    : view_(view), makeStream_(std::move(makeStream)), format_(format) {}

std::unique_ptr<cBinaryFileStream> ImageInspection::DefaultStream() {
  return std::make_unique<cBinaryFileStream>();
}

cBinaryFileStream& ImageInspection::Stream() {
  if (!stream_) stream_ = makeStream_();
  return *stream_;
}

// The image is opened in a stream of its own, which takes the place of the previous one only
// once it is open: an image that cannot be opened leaves the one shown held open.
void ImageInspection::OpenImageStream(const std::string& imagePath) {
  std::unique_ptr<cBinaryFileStream> opened = makeStream_();
  opened->file(imagePath);
  stream_ = std::move(opened);
}

void ImageInspection::ShowImageSize() {
  // The exact length: an image of 2 GiB or more shows its true size, not the stream's
  // 32-bit figure.
  view_.SetInfoValue(InfoRow::kSize, ImageSizeLine(Stream().ExactLength(), format_));
  ClassifyImage();
}

void ImageInspection::ClassifyImage() {
  const ImageClassification classification = ClassifyLength(Stream().Length());
  view_.SetAdvice(std::string(classification.advice));
  view_.SetInfoValue(InfoRow::kStatus, std::string(classification.status));
  imageState_ = classification.state;
}

}  // namespace corvane::app
