// Ends as Corvane does when an error escapes everything: started through Corvane's own
// start-up routine, which installs its terminate handler, it throws an exception that
// nothing catches. Its command line names the kind: "error" a program error, "exception" a
// standard exception, "windows" a program error while two windows of class
// "TerminatingWindow" are up (a main window and one it owns, as the About window is, the
// owned one active), anything else an int.
#include <windows.h>

#include <exception>
#include <stdexcept>
#include <string>

#include "app/win32/process_start.h"
#include "support/error.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TerminatingWindow";

HWND ShowWindowOfItsOwn(HINSTANCE instance, const wchar_t* caption, HWND owner, int left) {
  return ::CreateWindowExW(0, kWindowClass, caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, 0, 300,
                           200, owner, nullptr, instance, nullptr);
}

void ShowTwoWindows(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  ::RegisterClassExW(&windowClass);
  const HWND main = ShowWindowOfItsOwn(instance, L"Main", nullptr, 0);
  ::SetActiveWindow(ShowWindowOfItsOwn(instance, L"Owned", main, 320));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  corvane::app::win32::PrepareProcess();
  const std::wstring kind = commandLine;
  if (kind == L"windows") ShowTwoWindows(instance);
  if (kind == L"error" || kind == L"windows") throw corvane::Error(53, "Corvane.File");
  if (kind == L"exception") throw std::length_error("vector::reserve");
  throw 7;
}
