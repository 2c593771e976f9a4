#include "app/win32/focus_memory.h"

namespace corvane::app::win32 {

void FocusMemory::OnActivate(HWND window, WPARAM state) {
  if (LOWORD(state) == WA_INACTIVE) {
    const HWND focus = ::GetFocus();
    if (focus && ::IsChild(window, focus)) saved_ = focus;
    return;
  }
  const bool minimised = HIWORD(state) != 0;
  if (minimised) return;
  const HWND target =
      saved_ && ::IsChild(window, saved_) ? saved_ : ::GetDlgItem(window, initialControlId_);
  if (target) ::SetFocus(target);
}

}  // namespace corvane::app::win32
