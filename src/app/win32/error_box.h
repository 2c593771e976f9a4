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

}  // namespace corvane::app::win32
