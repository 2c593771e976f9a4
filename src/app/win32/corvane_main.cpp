// The program's entry: the main window is its start-up object. It is loaded invisible, its
// start-up check runs, and only then is it shown; the program lives until no window is
// left.
#include <windows.h>

#include "app/win32/main_window.h"
#include "app/win32/process_start.h"

namespace {

// Tab, the arrow keys, Enter and Escape work in the program's windows as in a dialog.
bool IsDialogKey(MSG& message) {
  const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  return root && ::IsDialogMessageW(root, &message);
}

int RunMessageLoop() {
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogKey(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  corvane::app::win32::PrepareProcess();
  corvane::app::win32::MainWindow main(instance);
  if (!main.Create()) {
    ::MessageBoxW(nullptr, L"Corvane could not create its window.", L"Error ...",
                  MB_OK | MB_ICONERROR);
    return 1;
  }
  if (!main.Load()) return 0;
  main.Show(showCommand);
  return RunMessageLoop();
}
