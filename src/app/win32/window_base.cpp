#include "app/win32/window_base.h"

#include "app/win32/error_box.h"

namespace corvane::app::win32 {
namespace {

void RegisterOnce(const WindowClass& windowClass, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExW(windowClass.instance, windowClass.name, &existing)) return;
  WNDCLASSEXW registration{};
  registration.cbSize = sizeof registration;
  registration.lpfnWndProc = procedure;
  registration.hInstance = windowClass.instance;
  registration.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  registration.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  registration.lpszClassName = windowClass.name;
  ::RegisterClassExW(&registration);
}

}  // namespace

Window::~Window() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

bool Window::Create(const WindowClass& windowClass, DWORD exStyle, DWORD style,
                    const wchar_t* caption, HWND owner, HMENU menu, POINT position) {
  RegisterOnce(windowClass, &Window::Procedure);
  return ::CreateWindowExW(exStyle, windowClass.name, caption, style, position.x, position.y,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner, menu, windowClass.instance,
                           this) != nullptr;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NEXTDLGCTL) {
    MoveFocus(wParam, lParam);
    return 0;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

// The program's windows take the dialog keys as a dialog does: the arrow keys ask for the
// next control of the group, as a window handle (lParam true); Tab for the next or
// previous tab stop.
void Window::MoveFocus(WPARAM target, LPARAM isHandle) {
  const HWND next = LOWORD(isHandle)
                        ? reinterpret_cast<HWND>(target)
                        : ::GetNextDlgTabItem(hwnd_, ::GetFocus(), static_cast<BOOL>(target));
  if (next) ::SetFocus(next);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = self->GuardedHandle(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

LRESULT Window::GuardedHandle(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  RunReportingErrors([&] { result = HandleMessage(message, wParam, lParam); });
  return result;
}

}  // namespace corvane::app::win32
