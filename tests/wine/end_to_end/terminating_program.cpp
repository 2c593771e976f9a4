// Ends as Corvane does when an error escapes everything: with Corvane's own terminate
// handler, and an exception that nothing catches. Its command line names the kind:
// "error" a program error, "exception" a standard exception, anything else an int.
#include <windows.h>

#include <exception>
#include <stdexcept>
#include <string>

#include "app/win32/error_box.h"
#include "support/error.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  std::set_terminate(corvane::app::win32::ShowTerminationAndEnd);
  const std::wstring kind = commandLine;
  if (kind == L"error") throw corvane::Error(53, "Corvane.File");
  if (kind == L"exception") throw std::length_error("vector::reserve");
  throw 7;
}
