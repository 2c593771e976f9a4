#include "app/win32/dpi.h"

#include "app/twips.h"

namespace corvane::app::win32 {
namespace {

// The per-monitor functions exist from Windows 10 version 1607 on; older systems scale
// with the system's DPI only.
template <typename Function>
Function* User32Function(const char* name) {
  return reinterpret_cast<Function*>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

int SystemDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace

int WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
  if (getDpiForWindow) {
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle,
                         bool hasMenu, int dpi) {
  static const auto adjustForDpi =
      User32Function<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, clientWidth, clientHeight};
  if (adjustForDpi) {
    adjustForDpi(&rect, style, hasMenu, exStyle, static_cast<UINT>(dpi));
  } else {
    ::AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

int SystemMetricForDpi(int index, int dpi) {
  static const auto metricForDpi = User32Function<int WINAPI(int, UINT)>("GetSystemMetricsForDpi");
  return metricForDpi ? metricForDpi(index, static_cast<UINT>(dpi)) : ::GetSystemMetrics(index);
}

}  // namespace corvane::app::win32
