#pragma once

#include <windows.h>

namespace corvane::app::win32 {

// Keeps the control that had the keyboard focus while a window is inactive, and gives the
// focus back when the window is activated again (first to the window's initial control).
class FocusMemory {
 public:
  explicit FocusMemory(int initialControlId) : initialControlId_(initialControlId) {}

  // WM_ACTIVATE of `window`.
  void OnActivate(HWND window, WPARAM state);

 private:
  int initialControlId_;
  HWND saved_ = nullptr;
};

}  // namespace corvane::app::win32
