#include "kelvore/tool/image_writer.h"

#include <optional>
#include <vector>

namespace kelvore {
namespace {

// Follows the written data, which grows in ascending offsets, and starts and waits for its
// write-back window by window.
class WriteBack {
 public:
  explicit WriteBack(OutputFile& output) : output_(output) {}

  // `count` bytes were just written, ending at offset `end`.
  void Written(std::uint64_t end, std::uint64_t count) {
    end_ = end;
    pending_ += count;
    if (pending_ >= kWriteBackWindow) StartWindow();
  }

  // Waits for everything written.
  void Finish() {
    if (pending_ > 0) StartWindow();
    WaitForPrevious();
  }

 private:
  struct Window {
    std::uint64_t offset;
    std::uint64_t length;
  };

  void StartWindow() {
    const Window window{begin_, end_ - begin_};
    output_.StartWriteBack(window.offset, window.length);
    WaitForPrevious();
    previous_ = window;
    begin_ = end_;
    pending_ = 0;
  }

  void WaitForPrevious() {
    if (previous_) output_.WaitForWriteBack(previous_->offset, previous_->length);
    previous_.reset();
  }

  OutputFile& output_;
  std::uint64_t begin_ = 0;    // where the window being written starts
  std::uint64_t end_ = 0;      // the end of what was written last
  std::uint64_t pending_ = 0;  // bytes written in this window
  std::optional<Window> previous_;
};

}  // namespace

void WriteImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                const TransferControl& control) {
  output.SetSize(plan.ImageSize());
  std::vector<std::byte> buffer(kChunkSize);
  WriteBack write_back(output);
  ForEachChunk(plan, control, [&](const ImagePiece& piece, std::uint64_t at, std::size_t count) {
    const std::span<std::byte> bytes(buffer.data(), count);
    ReadPieceBytes(piece, at, bytes, source);
    const std::uint64_t offset = piece.target_offset + at;
    output.WriteAt(offset, bytes);
    write_back.Written(offset + count, count);
  });
  write_back.Finish();
}

}  // namespace kelvore
