#include "app/win32/process_start.h"

#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "app/win32/error_box.h"
#include "platform/win32/system_dll_search.h"

namespace corvane::app::win32 {

void PrepareProcess() {
  // A GUI program has no console for the runtime's report of an error that escaped
  // everything: it is shown in the error box instead.
  std::set_terminate(ShowTerminationAndEnd);
  platform::win32::LoadDllsFromSystemFolderOnly();
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
}

}  // namespace corvane::app::win32
