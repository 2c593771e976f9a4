#pragma once

#include <windows.h>

#include "app/form_layout.h"

namespace corvane::app::win32 {

// The window styles that a window's properties call for.
struct WindowStyles {
  DWORD style;
  DWORD exStyle;
};
WindowStyles StylesFor(const WindowProperties& properties);

// Sizes the window so that its client area is the one of its properties at `dpi`, leaving its
// top-left corner where it is.
void SizeToClientArea(HWND window, const WindowProperties& properties, int dpi);

// Moves the window to where its properties place it: centred on its monitor's work area, or
// over its owner; always inside the work area.
void PlaceWindow(HWND window, const WindowProperties& properties);

}  // namespace corvane::app::win32
