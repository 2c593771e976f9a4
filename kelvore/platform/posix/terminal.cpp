#include "kelvore/platform/terminal.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace kelvore {
namespace {

std::atomic<bool> interrupt_requested{false};

extern "C" void OnInterrupt(int) { interrupt_requested.store(true); }

class TerminalConsole : public Console {
 public:
  // Replaces a progress line that is showing, so that a phase ends on its final figures.
  void Line(std::string_view text) override {
    std::string line(shown_width_ == 0 ? "" : "\r");
    line.append(text);
    if (text.size() < shown_width_) line.append(shown_width_ - text.size(), ' ');
    shown_width_ = 0;
    line.append("\n");
    Write(stdout, line);
  }

  void Progress(std::string_view text) override {
    if (!interactive_) return;
    std::string line(1, '\r');
    line.append(text);
    if (text.size() < shown_width_) line.append(shown_width_ - text.size(), ' ');
    shown_width_ = text.size();
    Write(stdout, line);
  }

  void Error(std::string_view text) override {
    EndProgressLine();
    Write(stderr, std::string(text) + "\n");
  }

 private:
  static void Write(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
  }

  void EndProgressLine() {
    if (shown_width_ == 0) return;
    Write(stdout, "\n");
    shown_width_ = 0;
  }

  bool interactive_ = isatty(STDOUT_FILENO) == 1;
  std::size_t shown_width_ = 0;
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
