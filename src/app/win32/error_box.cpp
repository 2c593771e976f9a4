#include "app/win32/error_box.h"

#include <string>

#include "app/untrapped_error.h"
#include "platform/win32/message_boxes.h"

namespace corvane::app::win32 {
namespace {

// A task-modal box without owner: the system disables every top-level window of the
// thread (the main window and the About window alike) while it is shown. A box owned by
// a window would disable that window only, and one without owner that is not task-modal
// none at all.
void ShowErrorText(const std::string& text) {
  platform::win32::WindowMessageBoxes boxes;
  boxes.Show(text, "Error ...",
             platform::message_style::kOk | platform::message_style::kIconError |
                 platform::message_style::kTaskModal);
}

}  // namespace

void ShowUntrappedError(const Error& error) { ShowErrorText(UntrappedErrorText(error)); }

void ShowUntrappedError(const std::exception& error) { ShowErrorText(error.what()); }

void ShowTerminationAndEnd() {
  // Should showing the box end in the terminate handler again, the process ends at once.
  static bool reporting = false;
  if (!reporting) {
    reporting = true;
    try {
      ShowErrorText(TerminationText(std::current_exception()));
    } catch (...) {
    }
  }
  // Nothing of the program runs any more: no destructors, no handlers of its libraries.
  ::TerminateProcess(::GetCurrentProcess(), kTerminatedExitCode);
  ::ExitProcess(kTerminatedExitCode);
}

}  // namespace corvane::app::win32
