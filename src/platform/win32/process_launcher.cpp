#include "platform/process_launcher.h"

#include <windows.h>

#include "platform/win32/error_numbers.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

class Win32ProcessLauncher final : public ProcessLauncher {
 public:
  std::optional<std::string> Start(const std::string& applicationPath,
                                   const std::string& commandLine) override {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    const std::wstring application = win32::Widen(applicationPath);
    std::wstring arguments = win32::Widen(commandLine);  // CreateProcessW may write to it
    if (!::CreateProcessW(application.c_str(), arguments.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &started)) {
      return win32::SystemMessage(::GetLastError());
    }
    // Nobody waits for the tool: its handles are let go at once.
    win32::UniqueKernelHandle process(started.hProcess);
    win32::UniqueKernelHandle thread(started.hThread);
    return std::nullopt;
  }
};

}  // namespace

ProcessLauncher& SystemProcessLauncher() {
  static Win32ProcessLauncher launcher;
  return launcher;
}

}  // namespace platform
