#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <span>
#include <vector>

#include "kelvore/base/threads.h"

namespace kelvore {

// Hands chunks of data, in order, to a consumer that runs on a thread of its own, so that two
// computations over the same data share two processor cores. The chunks travel through
// kBuffers buffers of kChunkSize bytes, 8 MiB: memory stays bounded whatever the amount of
// data, and either thread can go on for some milliseconds while the system gives the other
// one's core to other work (with 4 buffers the checksums took 10 % longer on a busy machine).
class ChunkRelay {
 public:
  using Consumer = std::function<void(std::span<const std::byte> chunk)>;

  explicit ChunkRelay(Consumer consumer);
  // Stops the consumer once it is done with the chunk it holds, dropping the rest.
  ~ChunkRelay();
  ChunkRelay(const ChunkRelay&) = delete;
  ChunkRelay& operator=(const ChunkRelay&) = delete;

  static constexpr std::size_t kBuffers = 32;

  // A buffer for the next chunk, waiting while the consumer holds all of them. Throws what the
  // consumer threw, once it has failed.
  std::span<std::byte> NextBuffer();

  // Hands the first `length` (at least 1) bytes of the buffer from NextBuffer to the consumer.
  // The caller may go on reading them until it asks for the next buffer.
  void Pass(std::size_t length);

  // Waits until the consumer has taken every chunk; throws what it threw.
  void Finish();

 private:
  void Consume();
  void ThrowIfFailed() const;

  Consumer consumer_;
  std::array<std::vector<std::byte>, kBuffers> buffers_;
  std::array<std::size_t, kBuffers> lengths_{};  // 0: no more chunks
  std::size_t next_ = 0;                         // the buffer NextBuffer gives
  Semaphore free_buffers_{kBuffers};
  Semaphore passed_chunks_{0};
  std::atomic<bool> abandoned_{false};
  std::atomic<bool> failed_{false};
  std::exception_ptr failure_;  // set by the consumer's thread before failed_
  Thread thread_;               // last: starts once everything else is in place
};

}  // namespace kelvore
