#include "app/win32/error_box.h"

#include <string>

#include "app/untrapped_error.h"
#include "platform/win32/message_boxes.h"

namespace corvane::app::win32 {
namespace {

void ShowErrorText(HWND owner, const std::string& text) {
  platform::win32::WindowMessageBoxes boxes;
  boxes.SetOwner(owner);
  boxes.Show(text, "Error ...", platform::message_style::kOk | platform::message_style::kIconError);
}

}  // namespace

void ShowUntrappedError(HWND owner, const Error& error) {
  ShowErrorText(owner, UntrappedErrorText(error));
}

void ShowUntrappedError(HWND owner, const std::exception& error) {
  ShowErrorText(owner, error.what());
}

void ShowTerminationAndEnd() {
  // Should showing the box end in the terminate handler again, the process ends at once.
  static bool reporting = false;
  if (!reporting) {
    reporting = true;
    try {
      ShowErrorText(::GetActiveWindow(), TerminationText(std::current_exception()));
    } catch (...) {
    }
  }
  // Nothing of the program runs any more: no destructors, no handlers of its libraries.
  ::TerminateProcess(::GetCurrentProcess(), kTerminatedExitCode);
  ::ExitProcess(kTerminatedExitCode);
}

}  // namespace corvane::app::win32
