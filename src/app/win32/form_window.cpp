#include "app/win32/form_window.h"

#include "app/win32/dpi.h"
#include "app/win32/form_geometry.h"

namespace corvane::app::win32 {

FormWindow::FormWindow(const WindowProperties& properties, std::span<const ControlRow> table,
                       int initialFocusId)
    : properties_(properties), table_(table), focus_(initialFocusId) {}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (!controls_) break;
      return controls_->ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
      focus_.OnActivate(Handle(), wParam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_NCDESTROY:
      controls_.reset();
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void FormWindow::PressFocusedButton() {
  const HWND focus = ::GetFocus();
  const ControlRow* properties = Controls().RowOf(focus);
  if (properties && properties->kind == ControlKind::kCommandButton)
    ::SendMessageW(focus, BM_CLICK, 0, 0);
}

void FormWindow::OnCreate() {
  const int dpi = WindowDpi(Handle());
  controls_.emplace(Handle(), table_, dpi);
  SizeToClientArea(Handle(), properties_, dpi);
  OnControlsCreated(dpi);
}

void FormWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SizeToClientArea(Handle(), properties_, dpi);
  controls_->ApplyDpi(dpi);
  OnDpiApplied(dpi);
}

}  // namespace corvane::app::win32
