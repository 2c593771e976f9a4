#include "kelvore/platform/terminal.h"

#include <iconv.h>
#include <langinfo.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "kelvore/tool/console_lines.h"

namespace kelvore {
namespace {

std::atomic<bool> interrupt_requested{false};

extern "C" void OnInterrupt(int) { interrupt_requested.store(true); }

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);

// The tool's text is UTF-8; the terminal shows the encoding of the user's locale. Characters
// it lacks become '?' (or a look-alike); bytes that are not UTF-8 pass unchanged, as they
// can only be a path already in the locale's encoding.
class LocaleText {
 public:
  LocaleText() {
    std::setlocale(LC_CTYPE, "");
    const std::string codeset = nl_langinfo(CODESET);
    if (codeset != "UTF-8") converter_ = iconv_open((codeset + "//TRANSLIT").c_str(), "UTF-8");
  }
  ~LocaleText() {
    if (converter_ != kNoConversion) iconv_close(converter_);
  }
  LocaleText(const LocaleText&) = delete;
  LocaleText& operator=(const LocaleText&) = delete;

  std::string From(const std::string& utf8) const {
    if (converter_ == kNoConversion) return utf8;
    std::string text;
    char* in = const_cast<char*>(utf8.data());
    std::size_t in_left = utf8.size();
    while (in_left > 0) {
      char buffer[256];
      char* out = buffer;
      std::size_t out_left = sizeof buffer;
      const bool failed = iconv(converter_, &in, &in_left, &out, &out_left) == std::size_t(-1);
      text.append(buffer, static_cast<std::size_t>(out - buffer));
      if (failed && errno != E2BIG) {
        text += *in++;
        --in_left;
      }
    }
    return text;
  }

 private:
  iconv_t converter_ = kNoConversion;
};

LostOutput LostOutputOf(int error) { return {error == EPIPE, std::strerror(error)}; }

// Closing a copy of the descriptor makes a file system that writes at close (NFS) report a
// failure now, as closing it would, while it stays open. False, with errno set, on a failure.
bool ClosesCleanly(int fd) {
  const int copy = dup(fd);
  return copy < 0 || close(copy) == 0;
}

class TerminalConsole : public Console {
 public:
  void Line(std::string_view text) override { WriteOutput(lines_.Line(text)); }

  void Progress(std::string_view text) override {
    if (interactive_) WriteOutput(lines_.Progress(text));
  }

  void Error(std::string_view text) override {
    WriteOutput(lines_.EndProgress());
    Write(stderr, std::string(text) + "\n");
  }

  std::optional<LostOutput> CheckOutput() override {
    if (!lost_ && std::fflush(stdout) != 0) lost_ = LostOutputOf(errno);
    if (!lost_ && !ClosesCleanly(STDOUT_FILENO)) lost_ = LostOutputOf(errno);
    return lost_;
  }

 private:
  // Text that cannot be written (to a full disk, or to a pipe whose reader has gone) is
  // lost, nothing more: the rebuild goes on and the exit code tells how it ended. The first
  // loss is kept for CheckOutput.
  void WriteOutput(const std::string& text) {
    if (!Write(stdout, text) && !lost_) lost_ = LostOutputOf(errno);
  }

  // False, with errno set, when the text did not all reach the system.
  bool Write(std::FILE* stream, const std::string& text) const {
    if (text.empty()) return true;
    const std::string shown = locale_text_.From(text);
    if (std::fwrite(shown.data(), 1, shown.size(), stream) != shown.size()) return false;
    return std::fflush(stream) == 0;
  }

  bool interactive_ = isatty(STDOUT_FILENO) == 1;
  LocaleText locale_text_;
  ConsoleLines lines_{"\n"};
  std::optional<LostOutput> lost_;
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
