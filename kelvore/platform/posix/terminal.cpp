#include "kelvore/platform/terminal.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "kelvore/tool/console_lines.h"

namespace kelvore {
namespace {

std::atomic<bool> interrupt_requested{false};

extern "C" void OnInterrupt(int) { interrupt_requested.store(true); }

class TerminalConsole : public Console {
 public:
  void Line(std::string_view text) override { Write(stdout, lines_.Line(text)); }

  void Progress(std::string_view text) override {
    if (interactive_) Write(stdout, lines_.Progress(text));
  }

  void Error(std::string_view text) override {
    Write(stdout, lines_.EndProgress());
    Write(stderr, std::string(text) + "\n");
  }

 private:
  static void Write(std::FILE* stream, const std::string& text) {
    if (text.empty()) return;
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
  }

  bool interactive_ = isatty(STDOUT_FILENO) == 1;
  ConsoleLines lines_{"\n"};
};

}  // namespace

std::unique_ptr<Console> MakeTerminalConsole() { return std::make_unique<TerminalConsole>(); }

void WatchForInterrupts() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

const std::atomic<bool>& InterruptRequested() { return interrupt_requested; }

// A POSIX terminal outlives the process, so nothing waits for the cleanup or for Enter.
void MarkCleanupDone() {}

void WaitForEnterIfWindowIsOurs(Console&) {}

}  // namespace kelvore
