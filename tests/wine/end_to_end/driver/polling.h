#pragma once

#include <windows.h>

#include <chrono>

namespace e2e {

// Generous: after a minute or two without any program running, Wine takes some ten
// seconds to show the next program's first window.
inline constexpr std::chrono::milliseconds kPatience{30000};
// How long a window of Corvane's may take to answer a message, in milliseconds.
inline constexpr unsigned kReplyTimeout = 10000;

// Polls `condition` until it holds or `timeout` has passed; true when it held.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = kPatience) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    ::Sleep(25);
  }
}

}  // namespace e2e
