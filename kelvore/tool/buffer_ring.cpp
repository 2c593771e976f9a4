#include "kelvore/tool/buffer_ring.h"

#include <cstdint>
#include <utility>

namespace kelvore {
namespace {

// Each buffer starts on the alignment.
std::size_t StrideOf(const BufferRing::Shape& shape) {
  return (shape.buffer_size + shape.alignment - 1) / shape.alignment * shape.alignment;
}

// Room for every buffer wherever the alignment puts the first. Left uninitialised: pages
// that no data reaches take no memory.
std::unique_ptr<std::byte[]> MakeStorage(const BufferRing::Shape& shape) {
  return std::unique_ptr<std::byte[]>(
      new std::byte[shape.buffers * StrideOf(shape) + shape.alignment - 1]);
}

}  // namespace

BufferRing::BufferRing(Shape shape, FirstHolder first_holder, Work work)
    : storage_(MakeStorage(shape)),
      slots_(PlaceBuffers(storage_.get(), shape)),
      work_(std::move(work)),
      to_owner_(first_holder == FirstHolder::kOwner ? shape.buffers : 0),
      to_worker_(first_holder == FirstHolder::kWorker ? shape.buffers : 0),
      thread_([this] { Serve(); }) {}

BufferRing::~BufferRing() {
  stopping_.store(true);
  to_worker_.Release();
  thread_.Join();
}

std::vector<BufferRing::Slot> BufferRing::PlaceBuffers(std::byte* storage, const Shape& shape) {
  const auto address = reinterpret_cast<std::uintptr_t>(storage);
  std::byte* const first =
      storage + (shape.alignment - address % shape.alignment) % shape.alignment;
  std::vector<Slot> slots(shape.buffers);
  for (std::size_t i = 0; i < slots.size(); ++i) {
    slots[i].buffer.space = {first + i * StrideOf(shape), shape.buffer_size};
  }
  return slots;
}

RingBuffer& BufferRing::Take() {
  to_owner_.Acquire();
  Slot& slot = slots_[takes_++ % slots_.size()];
  if (slot.failure) std::rethrow_exception(slot.failure);
  return slot.buffer;
}

void BufferRing::Give() {
  ++gives_;
  to_worker_.Release();
}

// Each Take receives a buffer the owner held first or one it gave, so the owner holds every
// buffer once it has taken one for each buffer there is and one for each Give.
void BufferRing::TakeAllBack() {
  while (takes_ < slots_.size() + gives_) Take();
}

// Runs on the worker's thread. After a failure it works no more but passes every buffer
// straight back, carrying the failure.
void BufferRing::Serve() {
  std::exception_ptr failure;
  for (std::uint64_t turn = 0;; ++turn) {
    to_worker_.Acquire();
    if (stopping_.load()) return;
    Slot& slot = slots_[turn % slots_.size()];
    if (!failure) {
      try {
        work_(turn, slot.buffer);
      } catch (...) {
        failure = std::current_exception();
      }
    }
    slot.failure = failure;
    to_owner_.Release();
  }
}

}  // namespace kelvore
