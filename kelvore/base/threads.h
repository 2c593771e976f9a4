#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace kelvore {

// A counting semaphore between the threads of this process: Acquire waits until the count is
// above zero and takes one; Release adds one. A release happens before the acquire that takes
// it, so what one thread wrote before releasing, the other sees after acquiring.
class Semaphore {
 public:
  explicit Semaphore(std::uint32_t initial_count);
  ~Semaphore();
  Semaphore(const Semaphore&) = delete;
  Semaphore& operator=(const Semaphore&) = delete;

  void Acquire();
  void Release();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Runs `work`, which must not throw, on a thread of its own. Join waits until it has returned;
// the owner joins before it goes. Failing to start the thread throws IoError.
class Thread {
 public:
  explicit Thread(std::function<void()> work);
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Waits for `work` to return; once it has, returns at once.
  void Join();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kelvore
