#pragma once

#include <windows.h>

#include "app/form_layout.h"

namespace corvane::app::win32 {

// The window styles that a window's properties call for.
struct WindowStyles {
  DWORD style;
  DWORD exStyle;
};
WindowStyles StylesFor(const WindowSpec& spec);

// Sizes the window so that its client area is the spec's at `dpi`, leaving its top-left
// corner where it is.
void SizeToClientArea(HWND window, const WindowSpec& spec, int dpi);

// Moves the window to where the spec places it: centred on its monitor's work area, or
// over its owner; always inside the work area.
void PlaceWindow(HWND window, const WindowSpec& spec);

}  // namespace corvane::app::win32
