#pragma once

#include <windows.h>

namespace corvane::app::win32 {

// The dots per inch that a window is laid out for: its monitor's on systems that scale
// per monitor, else the system's.
int WindowDpi(HWND window);

// The size of a window whose client area is `clientWidth` by `clientHeight` pixels, with
// these styles, at `dpi`.
SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle,
                         bool hasMenu, int dpi);

// A system metric (SM_CXICON, ...) at `dpi`.
int SystemMetricForDpi(int index, int dpi);

}  // namespace corvane::app::win32
