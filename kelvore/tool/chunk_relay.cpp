#include "kelvore/tool/chunk_relay.h"

#include "kelvore/tool/piece_chunks.h"

namespace kelvore {

ChunkRelay::ChunkRelay(Consumer consumer)
    : consumer_(std::move(consumer)), thread_([this] { Consume(); }) {}

ChunkRelay::~ChunkRelay() {
  abandoned_.store(true);
  passed_chunks_.Release();
  thread_.Join();
}

std::span<std::byte> ChunkRelay::NextBuffer() {
  ThrowIfFailed();
  free_buffers_.Acquire();
  // Made when first needed: a little data takes little memory.
  std::vector<std::byte>& buffer = buffers_[next_];
  if (buffer.empty()) buffer.resize(kChunkSize);
  return buffer;
}

void ChunkRelay::Pass(std::size_t length) {
  lengths_[next_] = length;
  next_ = (next_ + 1) % kBuffers;
  passed_chunks_.Release();
}

void ChunkRelay::Finish() {
  free_buffers_.Acquire();
  lengths_[next_] = 0;
  passed_chunks_.Release();
  thread_.Join();
  ThrowIfFailed();
}

// Runs on the consumer's thread. After a failure it keeps taking chunks without looking at
// them, so that the producer never waits for a buffer that would not come back.
void ChunkRelay::Consume() {
  for (std::size_t index = 0;; index = (index + 1) % kBuffers) {
    passed_chunks_.Acquire();
    if (abandoned_.load()) return;
    const std::size_t length = lengths_[index];
    if (length == 0) return;
    if (!failed_.load(std::memory_order_relaxed)) {
      try {
        consumer_(std::span<const std::byte>(buffers_[index]).first(length));
      } catch (...) {
        failure_ = std::current_exception();
        failed_.store(true, std::memory_order_release);
      }
    }
    free_buffers_.Release();
  }
}

void ChunkRelay::ThrowIfFailed() const {
  if (failed_.load(std::memory_order_acquire)) std::rethrow_exception(failure_);
}

}  // namespace kelvore
