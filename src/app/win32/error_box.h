#pragma once

#include <windows.h>

#include <exception>

#include "support/error.h"

namespace corvane::app::win32 {

// The error box for an error that no handler trapped: titled "Error ...", with the error
// icon, showing the error's description, number and source. Until the user closes it,
// every window of the program is disabled, so that no click or key starts another handler
// while the error is being reported.
void ShowUntrappedError(const Error& error);
// The same for a failure that is not one of the program's errors (out of memory, ...).
void ShowUntrappedError(const std::exception& error);

// Corvane's terminate handler: shows the exception that escaped everything in the same
// error box, and when the user closes the box ends the process at once with exit code
// kTerminatedExitCode (a failure, and not the 3 of the runtime's abort, whose own box it
// never shows).
[[noreturn]] void ShowTerminationAndEnd();
inline constexpr UINT kTerminatedExitCode = 1;

// Runs a handler; an error that escapes it is shown in the error box, and the program goes
// on. True when the handler ran to its end.
template <typename Handler>
bool RunReportingErrors(Handler handler) {
  // No exception may cross the system's frames back into the message loop.
  try {
    handler();
    return true;
  } catch (const Error& error) {
    ShowUntrappedError(error);
  } catch (const std::exception& error) {
    ShowUntrappedError(error);
  }
  return false;
}

}  // namespace corvane::app::win32
