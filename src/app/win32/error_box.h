#pragma once

#include <windows.h>

#include <exception>

#include "support/error.h"

namespace corvane::app::win32 {

// The error box for an error that no handler trapped: titled "Error ...", with the error
// icon, showing the error's description, number and source.
void ShowUntrappedError(HWND owner, const Error& error);
// The same for a failure that is not one of the program's errors (out of memory, ...).
void ShowUntrappedError(HWND owner, const std::exception& error);

// Corvane's terminate handler: shows the exception that escaped everything in the error
// box, owned by the active window, and when the user closes the box ends the process at
// once with exit code kTerminatedExitCode (a failure, and not the 3 of the runtime's abort,
// whose own box it never shows).
[[noreturn]] void ShowTerminationAndEnd();
inline constexpr UINT kTerminatedExitCode = 1;

// Runs a handler; an error that escapes it is shown in the error box, and the program goes
// on. True when the handler ran to its end.
template <typename Handler>
bool RunReportingErrors(HWND owner, Handler handler) {
  // No exception may cross the system's frames back into the message loop.
  try {
    handler();
    return true;
  } catch (const Error& error) {
    ShowUntrappedError(owner, error);
  } catch (const std::exception& error) {
    ShowUntrappedError(owner, error);
  }
  return false;
}

}  // namespace corvane::app::win32
