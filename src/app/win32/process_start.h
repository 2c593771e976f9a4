#pragma once

namespace corvane::app::win32 {

// What the program sets up in its process before its first window, first thing in its
// entry: errors that escape everything are shown in the error box (see
// ShowTerminationAndEnd), DLLs named without a path load from the system folder only, and
// the common controls are ready for the windows.
void PrepareProcess();

}  // namespace corvane::app::win32
