#include "kelvore/platform/terminal.h"

#include <iconv.h>
#include <langinfo.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
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
  // A stream that cannot be written (a pipe whose reader has gone) loses the text, nothing
  // more: the rebuild goes on and the exit code tells how it ended.
  void Write(std::FILE* stream, const std::string& text) const {
    if (text.empty()) return;
    const std::string shown = locale_text_.From(text);
    std::fwrite(shown.data(), 1, shown.size(), stream);
    std::fflush(stream);
  }

  bool interactive_ = isatty(STDOUT_FILENO) == 1;
  LocaleText locale_text_;
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
