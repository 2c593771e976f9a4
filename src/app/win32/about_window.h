#pragma once

#include <windows.h>

#include "app/win32/form_window.h"

namespace corvane::app::win32 {

// frmAbout: the non-modal About window. One object serves the whole run; its window is
// created when shown and destroyed by "Okay !", its close box or with its owner.
class AboutWindow final : public FormWindow {
 public:
  explicit AboutWindow(HINSTANCE instance);

  // Shows the window centred over `owner`, loading it afresh when it is not open, or only
  // brings it to the front when it is.
  void ShowOver(HWND owner);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(int id, int notification);
  void OnPaint();
  void cmdOkay_Click();

  HINSTANCE instance_;
};

}  // namespace corvane::app::win32
