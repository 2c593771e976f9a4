#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "kelvore/base/threads.h"

namespace kelvore {

// One buffer of a BufferRing and how many of its bytes hold data.
struct RingBuffer {
  std::span<std::byte> space;  // the whole buffer
  std::size_t length = 0;      // set by the side that fills it

  std::span<std::byte> Data() const { return space.first(length); }
};

// A fixed set of buffers that go round between the owner's thread and a worker thread of the
// ring's own, so that the two share the work on a stream of data: the owner fills buffers
// that the worker consumes (a second computation over the same data), or the worker fills
// buffers that the owner consumes (reading ahead). Memory stays bounded whatever the amount
// of data.
//
// Why it is correct:
// - Each buffer is held by one side at a time, and only its holder touches it: its bytes,
//   its length and the failure it carries.
// - Both sides go round the buffers in the same order: the owner's n-th Take returns buffer
//   n % count, and the worker's n-th turn works on buffer n % count. Each side passes buffers
//   on in the order it received them, so the buffer a side waits for next is always the one
//   the other side passed earliest, and two counting semaphores (one per direction) are all
//   the two share about them; no index crosses between the threads.
// - A semaphore's release happens before the acquire that takes it, so what one side wrote
//   into a buffer before passing it on, the other sees once it has received it.
// - When the worker's part fails, the failure travels in that buffer and in every later one,
//   which the worker passes back without working on them: the owner meets it at the buffer's
//   own turn, after every buffer before it. Failures arrive in order, and the owner never
//   waits for a buffer that does not come back.
// - The one other thing the threads share is the atomic flag that tells the worker to stop.
class BufferRing {
 public:
  // Who holds the buffers first: the owner, which fills them for the worker, or the worker,
  // which fills them for the owner.
  enum class FirstHolder { kOwner, kWorker };

  // The worker's part on one buffer; `turn` counts its turns from 0. May throw.
  using Work = std::function<void(std::uint64_t turn, RingBuffer& buffer)>;

  struct Shape {
    std::uint32_t buffers;
    std::size_t buffer_size;
    std::size_t alignment;  // of every buffer's address; a power of two
  };

  BufferRing(Shape shape, FirstHolder first_holder, Work work);
  // Stops the worker once it is done with the buffer it is working on.
  ~BufferRing();
  BufferRing(const BufferRing&) = delete;
  BufferRing& operator=(const BufferRing&) = delete;

  // The next buffer in turn, once the worker has passed it back (the owner's first buffers,
  // when it holds them first, at once). Throws what the worker threw on it or on an earlier
  // one. It stays the owner's until the next Give.
  RingBuffer& Take();

  // Passes the buffer from the last Take to the worker.
  void Give();

  // Takes back every buffer the worker holds, in turn; throws what it threw on any of them.
  void TakeAllBack();

 private:
  struct Slot {
    RingBuffer buffer;
    std::exception_ptr failure;
  };

  static std::vector<Slot> PlaceBuffers(std::byte* storage, const Shape& shape);
  void Serve();

  std::unique_ptr<std::byte[]> storage_;
  std::vector<Slot> slots_;
  Work work_;
  std::uint64_t takes_ = 0;  // the owner's, so far
  std::uint64_t gives_ = 0;
  Semaphore to_owner_;
  Semaphore to_worker_;
  std::atomic<bool> stopping_{false};
  Thread thread_;  // last: starts once everything else is in place
};

}  // namespace kelvore
