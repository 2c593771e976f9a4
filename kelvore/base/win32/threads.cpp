#include "kelvore/base/threads.h"

#include <windows.h>

#include <climits>
#include <cstdlib>

#include "kelvore/base/errors.h"
#include "platform/win32/system_message.h"
#include "platform/win32/unique_handle.h"

// Threads and semaphores of the system itself: the standard library's would bring the MinGW
// pthreads emulation into the program, some 66 KB.
namespace kelvore {
namespace {

using platform::win32::SystemMessage;
using platform::win32::UniqueKernelHandle;

// Waiting on a handle the process holds fails only when the handle is gone, a fault of the
// program itself after which neither thread can go on safely.
void WaitFor(HANDLE handle) {
  if (WaitForSingleObject(handle, INFINITE) != WAIT_OBJECT_0) std::abort();
}

DWORD WINAPI RunWork(void* work) {
  (*static_cast<std::function<void()>*>(work))();
  return 0;
}

}  // namespace

struct Semaphore::State {
  UniqueKernelHandle handle;
};

Semaphore::Semaphore(std::uint32_t initial_count)
    : state_(std::make_unique<State>(State{UniqueKernelHandle(
          CreateSemaphoreW(nullptr, static_cast<LONG>(initial_count), LONG_MAX, nullptr))})) {
  if (!state_->handle) {
    throw IoError("Creating a semaphore failed: " + SystemMessage(GetLastError()));
  }
}

Semaphore::~Semaphore() = default;

void Semaphore::Acquire() { WaitFor(state_->handle.Get()); }

// The count never comes near its maximum, the only reason for this to fail.
void Semaphore::Release() { ReleaseSemaphore(state_->handle.Get(), 1, nullptr); }

struct Thread::State {
  std::function<void()> work;
  UniqueKernelHandle handle;
};

Thread::Thread(std::function<void()> work)
    : state_(std::make_unique<State>(State{std::move(work), UniqueKernelHandle()})) {
  state_->handle.Reset(CreateThread(nullptr, 0, RunWork, &state_->work, 0, nullptr));
  if (!state_->handle) {
    throw IoError("Starting a thread failed: " + SystemMessage(GetLastError()));
  }
}

Thread::~Thread() { Join(); }

void Thread::Join() {
  if (!state_->handle) return;
  WaitFor(state_->handle.Get());
  state_->handle.Reset();
}

}  // namespace kelvore
