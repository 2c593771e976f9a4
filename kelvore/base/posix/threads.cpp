#include "kelvore/base/threads.h"

#include <cstddef>
#include <semaphore>
#include <string>
#include <system_error>
#include <thread>

#include "kelvore/base/errors.h"

namespace kelvore {

struct Semaphore::State {
  explicit State(std::uint32_t initial_count)
      : semaphore(static_cast<std::ptrdiff_t>(initial_count)) {}
  std::counting_semaphore<> semaphore;
};

Semaphore::Semaphore(std::uint32_t initial_count)
    : state_(std::make_unique<State>(initial_count)) {}

Semaphore::~Semaphore() = default;

void Semaphore::Acquire() { state_->semaphore.acquire(); }

void Semaphore::Release() { state_->semaphore.release(); }

struct Thread::State {
  std::thread thread;
};

Thread::Thread(std::function<void()> work) : state_(std::make_unique<State>()) {
  try {
    state_->thread = std::thread(std::move(work));
  } catch (const std::system_error& error) {
    throw IoError(std::string("Starting a thread failed: ") + error.what());
  }
}

Thread::~Thread() { Join(); }

void Thread::Join() {
  if (state_->thread.joinable()) state_->thread.join();
}

}  // namespace kelvore
