#include "kelvore/platform/terminal.h"

#include <windows.h>

#include <optional>
#include <string>

#include "kelvore/tool/console_lines.h"
#include "platform/win32/system_message.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace kelvore {
namespace {

constexpr DWORD kCloseGraceMilliseconds = 4000;

std::atomic<bool> interrupt_requested{false};
platform::win32::UniqueKernelHandle cleanup_done;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  interrupt_requested.store(true);
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  // The window is closing or the session ends: Windows ends the process as soon as this
  // returns, so give the main thread time to remove its unfinished output first.
  if (cleanup_done) WaitForSingleObject(cleanup_done.Get(), kCloseGraceMilliseconds);
  return TRUE;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// False, with the last error set, when the text did not all reach the handle. Nothing is
// written where the process has no such handle, as on POSIX where it would go to /dev/null.
bool Write(HANDLE handle, const std::string& text) {
  if (text.empty() || handle == nullptr || handle == INVALID_HANDLE_VALUE) return true;
  DWORD written = 0;
  if (IsConsole(handle)) {
    const std::wstring wide = platform::win32::Widen(text);
    return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) !=
           0;
  }
  return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
}

// A pipe whose reader has gone fails with one of these, depending on how far it has closed.
LostOutput LostOutputOf(DWORD error) {
  return {error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE,
          platform::win32::SystemMessage(error)};
}

class TerminalConsole : public Console {
 public:
  void Line(std::string_view text) override { WriteOutput(lines_.Line(text)); }

  void Progress(std::string_view text) override {
    if (IsConsole(output_)) WriteOutput(lines_.Progress(text));
  }

  void Error(std::string_view text) override {
    WriteOutput(lines_.EndProgress());
    Write(error_, std::string(text) + "\r\n");
  }

  // Nothing is held back: every write went to the system at once.
  std::optional<LostOutput> CheckOutput() override { return lost_; }

 private:
  // Text that cannot be written is lost, nothing more: the rebuild goes on and the exit code
  // tells how it ended. The first loss is kept for CheckOutput.
  void WriteOutput(const std::string& text) {
    if (!Write(output_, text) && !lost_) lost_ = LostOutputOf(GetLastError());
  }

  HANDLE output_ = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE error_ = GetStdHandle(STD_ERROR_HANDLE);
  ConsoleLines lines_{"\r\n"};
  std::optional<LostOutput> lost_;
};

}  // namespace

std::unique_ptr<Console> MakeTerminalConsole() { return std::make_unique<TerminalConsole>(); }

void WatchForInterrupts() {
  cleanup_done.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

const std::atomic<bool>& InterruptRequested() { return interrupt_requested; }

void MarkCleanupDone() {
  if (cleanup_done) SetEvent(cleanup_done.Get());
}

void WaitForEnterIfWindowIsOurs(Console& console) {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1) return;
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (!IsConsole(input)) return;
  console.Line("Press Enter to close this window.");
  // Keys pressed while the rebuild ran must not close the window before the result is read.
  FlushConsoleInputBuffer(input);
  wchar_t typed[64];
  DWORD count = 0;
  while (ReadConsoleW(input, typed, 64, &count, nullptr) && count > 0) {
    if (std::wstring_view(typed, count).find_first_of(L"\r\n") != std::wstring_view::npos) {
      return;
    }
  }
}

}  // namespace kelvore
