#include "kelvore/tool/write_back.h"

namespace kelvore {

void WriteBack::Written(std::uint64_t end, std::uint64_t count) {
  end_ = end;
  pending_ += count;
  if (pending_ >= kWriteBackWindow) StartWindow();
}

void WriteBack::Finish() {
  if (pending_ > 0) StartWindow();
  WaitForPrevious();
}

void WriteBack::StartWindow() {
  const Window window{begin_, end_ - begin_};
  output_.StartWriteBack(window.offset, window.length);
  WaitForPrevious();
  previous_ = window;
  begin_ = end_;
  pending_ = 0;
}

void WriteBack::WaitForPrevious() {
  if (previous_) output_.WaitForWriteBack(previous_->offset, previous_->length);
  previous_.reset();
}

}  // namespace kelvore
