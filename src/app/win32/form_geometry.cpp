#include "app/win32/form_geometry.h"

#include "app/twips.h"
#include "app/win32/dpi.h"
#include "app/window_placement.h"

namespace corvane::app::win32 {
namespace {

ScreenRect ToScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

RECT WorkAreaOf(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  return monitor.rcWork;
}

SIZE ClientSize(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return {client.right, client.bottom};
}

SIZE WindowSize(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

WindowStyles StylesFor(const WindowProperties& properties) {
  // A fixed border: a caption and a system menu with its close box, no sizing frame and
  // no maximise button. No WS_CLIPCHILDREN: labels are see-through, and the window
  // paints what lies beneath them.
  DWORD style = WS_CAPTION | WS_SYSMENU;
  if (properties.minimiseButton) style |= WS_MINIMIZEBOX;
  if (properties.toolWindow) return {style | WS_POPUP, WS_EX_TOOLWINDOW};
  return {style | WS_OVERLAPPED, 0};
}

void SizeToClientArea(HWND window, const WindowProperties& properties, int dpi) {
  const int width = TwipsToPixels(properties.clientWidth, dpi);
  const int height = TwipsToPixels(properties.clientHeight, dpi);
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
  const SIZE size =
      WindowSizeForClient(width, height, style, exStyle, ::GetMenu(window) != nullptr, dpi);
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  ::SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, flags);
  // The menu bar's height is only known once it is laid out in the window (it may even
  // wrap): correct by what the client area still lacks.
  const SIZE client = ClientSize(window);
  if (client.cx != width || client.cy != height) {
    ::SetWindowPos(window, nullptr, 0, 0, size.cx + width - client.cx, size.cy + height - client.cy,
                   flags);
  }
}

void PlaceWindow(HWND window, const WindowProperties& properties) {
  const HWND owner = ::GetWindow(window, GW_OWNER);
  const bool overOwner = properties.placement == Placement::kCentreOverOwner && owner;
  const HWND reference = overOwner ? owner : window;
  RECT area = WorkAreaOf(reference);
  const RECT bounds = area;
  if (overOwner) ::GetWindowRect(owner, &area);
  const SIZE size = WindowSize(window);
  const ScreenRect placed = CentredOver(ToScreenRect(area), size.cx, size.cy, ToScreenRect(bounds));
  ::SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace corvane::app::win32
