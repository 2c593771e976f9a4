#pragma once

#include <windows.h>

namespace corvane::app::win32 {

// The registration of a window class of the program.
struct WindowClass {
  const wchar_t* name;
  HINSTANCE instance;
};

// A window whose messages go to a C++ object: the object sees every message from
// WM_NCCREATE to WM_NCDESTROY through HandleMessage. An error that escapes a handler is
// shown to the user in an error box and the program goes on running.
class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The window's handle; null before it was created and after it was destroyed.
  HWND Handle() const { return hwnd_; }

 protected:
  Window() = default;
  // A window still open when its object goes is destroyed first.
  ~Window();

  // Creates the window (registering its class on first use) with its top-left corner at
  // `position`; false when it could not be. Its size is the window's to set.
  bool Create(const WindowClass& windowClass, DWORD exStyle, DWORD style, const wchar_t* caption,
              HWND owner, HMENU menu, POINT position = {CW_USEDEFAULT, CW_USEDEFAULT});

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void MoveFocus(WPARAM target, LPARAM isHandle);
  LRESULT GuardedHandle(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};

}  // namespace corvane::app::win32
