#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "platform/win32/unique_handle.h"

namespace wine_testing {

// Runs `work` on a Win32 thread of its own; Join (or the destructor) waits for it to end.
// The tests use it instead of std::thread, which the shipping build's standard library
// (MinGW's Win32 thread model, without winpthread) does not have.
class JoiningThread {
 public:
  explicit JoiningThread(std::function<void()> work)
      : work_(std::move(work)),
        thread_(::CreateThread(nullptr, 0, &JoiningThread::Start, this, 0, nullptr)) {}
  ~JoiningThread() { Join(); }
  JoiningThread(const JoiningThread&) = delete;
  JoiningThread& operator=(const JoiningThread&) = delete;

  void Join() {
    if (!thread_) return;
    ::WaitForSingleObject(thread_.Get(), INFINITE);
    thread_.Reset();
  }

 private:
  static DWORD WINAPI Start(void* self) {
    static_cast<JoiningThread*>(self)->work_();
    return 0;
  }

  std::function<void()> work_;
  platform::win32::UniqueKernelHandle thread_;
};

}  // namespace wine_testing
