#include "driver/screen.h"

#include <cstdint>

namespace e2e {

int DarkPixels(HWND window, const Box& area) {
  POINT origin{area.left, area.top};
  ::ClientToScreen(window, &origin);
  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = area.width;
  info.bmiHeader.biHeight = -area.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, area.width, area.height, screen, origin.x, origin.y, SRCCOPY);
  int dark = 0;
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < area.width * area.height; ++i) {
    const std::uint32_t pixel = pixels[i];
    const int luminance =
        (((pixel >> 16) & 0xFF) * 3 + ((pixel >> 8) & 0xFF) * 6 + (pixel & 0xFF)) / 10;
    if (luminance < 100) ++dark;
  }
  ::SelectObject(memory, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return dark;
}

}  // namespace e2e
