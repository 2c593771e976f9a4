#pragma once

// GoogleTest's Notification for MinGW's Win32 thread model, whose standard library has no
// std::mutex or std::condition_variable for GoogleTest's own: the same contract on a manual-
// reset event. The build forces this header into every file that includes GoogleTest, with
// GTEST_HAS_NOTIFICATION_ telling GoogleTest that it is there.

#include <windows.h>

namespace testing::internal {

class Notification {
 public:
  Notification() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { ::CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { ::SetEvent(event_); }
  void WaitForNotification() { ::WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace testing::internal
