#pragma once

#include <windows.h>

#include "driver/windows.h"

namespace e2e {

// How many pixels of a window's client area, within `area` (client coordinates), are
// drawn in a dark colour, such as text: read from the screen.
int DarkPixels(HWND window, const Box& area);

}  // namespace e2e
