// Reads a generated GameCube dump list of ENTRIES games (3,000 unless given, more than the
// published list has) the way kelvore reads one, then prints how long that took, the
// process's peak memory against the 32 MiB target, and the time to judge one image.
// Usage: kelvore_dump_list_bench [ENTRIES]

#include <sys/resource.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kelvore/tool/dump_list.h"
#include "kelvore/tool/dump_verdict.h"

namespace {

// Hexadecimal digits that differ from entry to entry.
std::string Digits(unsigned long seed, std::size_t count) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string digits;
  for (std::size_t i = 0; i < count; ++i) {
    seed = seed * 6364136223846793005ul + 1442695040888963407ul;
    digits += kHex[(seed >> 59) & 15];
  }
  return digits;
}

// "G" and three upper-case digits, as disc headers have them. Built by appending: GCC 12 at
// -O3 takes a sum that starts with a literal for an overlapping copy.
std::string GameCode(unsigned long i) {
  std::string code(1, 'G');
  for (const char digit : Digits(i, 3)) code += static_cast<char>(std::toupper(digit));
  return code;
}

// One game as the published list gives it, with names of a typical length.
std::string Game(unsigned long i) {
  const std::string name = "Generated Game Number " + std::to_string(i) +
                           " - The Long Subtitle &amp; More (USA, Europe) (En,Fr,De) (Rev 1)";
  const std::string code = GameCode(i);
  return "\t<game name=\"" + name + "\">\n\t\t<category>Games</category>\n\t\t<description>" +
         name + "</description>\n\t\t<rom name=\"" + name + ".iso\" size=\"1459978240\" crc=\"" +
         Digits(i * 3 + 1, 8) + "\" md5=\"" + Digits(i * 3 + 2, 32) + "\" sha1=\"" +
         Digits(i * 3 + 3, 40) + "\" serial=\"DL-DOL-" + code + "-USA, DL-DOL-" + code +
         "-EUR\" version=\"Rev 1\"/>\n\t</game>\n";
}

bool WriteList(int fd, unsigned long entries) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD "
      "ROM Management Datafile//EN\" \"http://www.logiqx.com/Dats/datafile.dtd\">\n<datafile>\n"
      "\t<header>\n\t\t<name>Nintendo - GameCube</name>\n\t</header>\n";
  for (unsigned long i = 0; i < entries; ++i) {
    text += Game(i);
    if (text.size() > 64 * 1024 || i + 1 == entries) {
      if (i + 1 == entries) text += "</datafile>\n";
      if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return false;
      text.clear();
    }
  }
  return true;
}

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned long entries = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 3000;
  char path[] = "/tmp/kelvore-dump-list-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0 || !WriteList(fd, entries)) {
    std::fprintf(stderr, "Writing the list to /tmp failed.\n");
    return 1;
  }
  close(fd);
  const double peak_before = PeakMiB();
  const auto start = std::chrono::steady_clock::now();
  int exit_code = 0;
  try {
    const kelvore::DumpList list = kelvore::LoadDumpList(path);
    const auto loaded = std::chrono::steady_clock::now();
    // A rebuilt copy of the last game: identified, not listed, after a look at every entry.
    const kelvore::ImageFacts rebuilt = {.size = 498'016,
                                         .checksums = {},
                                         .game_code = GameCode(entries - 1),
                                         .disc_number = 0,
                                         .revision = 1};
    const kelvore::DumpVerdict verdict = kelvore::JudgeImage(list, rebuilt);
    const auto judged = std::chrono::steady_clock::now();
    const double peak = PeakMiB();
    std::printf("%zu entries read in %.3f s; one image judged in %.6f s\n", list.entries.size(),
                std::chrono::duration<double>(loaded - start).count(),
                std::chrono::duration<double>(judged - loaded).count());
    std::printf(
        "peak memory %.1f MiB (%.1f MiB before reading the list); target under 32 MiB: %s\n", peak,
        peak_before, peak < 32 ? "met" : "NOT met");
    exit_code = verdict.match == kelvore::DumpMatch::kIdentified && peak < 32 ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    exit_code = 1;
  }
  unlink(path);
  return exit_code;
}
