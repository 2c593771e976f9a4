#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/main_view.h"
#include "platform/number_format.h"
#include "support/binary_file_stream.h"
#include "support/rebuild_facts.h"

namespace corvane::app {

// The length of a complete disc image.
inline constexpr std::int32_t StandardImageSize = rebuild::kFullImageSize;

// ImageState values.
namespace image_state {
inline constexpr std::int16_t kWiped = 0;
inline constexpr std::int16_t kGood = 1;
inline constexpr std::int16_t kOversize = 2;
}  // namespace image_state

// What an image's length says about it.
struct ImageClassification {
  std::string_view status;
  std::string_view advice;
  std::int16_t state;
};

ImageClassification ClassifyLength(std::int32_t length);

// "1459978240 Bytes / 1.36 GB": the exact count, then the readable size.
std::string ImageSizeLine(std::int64_t length, const platform::NumberFormat& format);

// The main window's image: the stream that holds the image shown open for reading, and
// ImageState, the classification of that image.
class ImageInspection {
 public:
  using StreamFactory = std::function<std::unique_ptr<cBinaryFileStream>()>;

  explicit ImageInspection(MainView& view, StreamFactory makeStream = DefaultStream,
                           const platform::NumberFormat& format = platform::SystemNumberFormat());

  // Opens the image in a new stream, which then replaces the previous one (closing the
  // previous image). Raises the stream's error when it cannot be opened; then nothing
  // shown has changed and the previous image stays open.
  void OpenImageStream(const std::string& imagePath);
  // Shows the open image's size line, then classifies it.
  void ShowImageSize();
  // Writes advice and status for the image's length and sets ImageState, in that order.
  void ClassifyImage();

  std::int16_t ImageState() const { return imageState_; }

  // The system's stream, over the process's file table.
  static std::unique_ptr<cBinaryFileStream> DefaultStream();

 private:
  cBinaryFileStream& Stream();

  MainView& view_;
  StreamFactory makeStream_;
  const platform::NumberFormat& format_;
  std::unique_ptr<cBinaryFileStream> stream_;
  std::int16_t imageState_ = image_state::kWiped;
};

}  // namespace corvane::app
