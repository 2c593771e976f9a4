#include "app/win32/about_window.h"

#include <algorithm>
#include <string>

#include "app/about_layout.h"
#include "app/twips.h"
#include "app/win32/dpi.h"
#include "app/win32/form_geometry.h"
#include "platform/win32/wide_text.h"

namespace corvane::app::win32 {
namespace {

// A thin line in the window-text colour, one pixel wide whatever the DPI.
void DrawLine(HDC dc, const LineRow& line, int dpi) {
  const int x1 = TwipsToPixels(std::min(line.x1, line.x2), dpi);
  const int x2 = TwipsToPixels(std::max(line.x1, line.x2), dpi);
  const int y1 = TwipsToPixels(std::min(line.y1, line.y2), dpi);
  const int y2 = TwipsToPixels(std::max(line.y1, line.y2), dpi);
  const RECT stroke{x1, y1, std::max(x2, x1 + 1), std::max(y2, y1 + 1)};
  ::FillRect(dc, &stroke, ::GetSysColorBrush(COLOR_WINDOWTEXT));
}

}  // namespace

AboutWindow::AboutWindow(HINSTANCE instance)
    : FormWindow(AboutWindowProperties(), AboutControls(), kAboutInitialFocus),
      instance_(instance) {}

void AboutWindow::ShowOver(HWND owner) {
  if (!Handle()) {
    const WindowProperties& properties = Properties();
    const WindowStyles styles = StylesFor(properties);
    const std::wstring className = platform::win32::Widen(properties.className);
    // Created where its owner stands, it is laid out for the owner's monitor from the start.
    RECT ownerRect{};
    ::GetWindowRect(owner, &ownerRect);
    if (!Create({className.c_str(), instance_}, styles.exStyle, styles.style,
                platform::win32::Widen(properties.caption).c_str(), owner, nullptr,
                {ownerRect.left, ownerRect.top})) {
      return;
    }
    PlaceWindow(Handle(), properties);
  }
  ::ShowWindow(Handle(), SW_SHOWNORMAL);
  ::SetForegroundWindow(Handle());
}

LRESULT AboutWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
  }
  return FormWindow::HandleMessage(message, wParam, lParam);
}

// "Okay !" is neither the default nor the cancel button: Enter presses it only while it has
// the focus, as on the main window, and Escape (IDCANCEL) does nothing.
void AboutWindow::OnCommand(int id, int notification) {
  if (notification != BN_CLICKED) return;
  if (id == about_control::kCmdOkay) cmdOkay_Click();
  if (id == IDOK) PressFocusedButton();
}

void AboutWindow::OnPaint() {
  PAINTSTRUCT paint{};
  const HDC dc = ::BeginPaint(Handle(), &paint);
  const int dpi = WindowDpi(Handle());
  for (const LineRow& line : AboutLines()) DrawLine(dc, line, dpi);
  ::EndPaint(Handle(), &paint);
}

void AboutWindow::cmdOkay_Click() { ::DestroyWindow(Handle()); }

}  // namespace corvane::app::win32
