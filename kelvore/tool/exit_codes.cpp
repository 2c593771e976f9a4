#include "kelvore/tool/exit_codes.h"

#include <array>
#include <exception>
#include <new>
#include <string>

#include "kelvore/base/errors.h"

namespace kelvore {

int ExitCodeOf(Console& console, const std::function<void()>& job,
               const std::function<void()>& after_unfinished) {
  try {
    job();
    return kExitDone;
  } catch (const DumpListError& error) {
    console.Error(std::string("Error: ") + error.what());
    return kExitUsage;
  } catch (const ImageError& error) {
    console.Error(std::string("Error: ") + error.what());
    return kExitImageRefused;
  } catch (const FinishedImageError& error) {
    console.Error(std::string("Error: ") + error.what());
    return kExitIoFailure;
  } catch (const std::bad_alloc&) {
    console.Error("Error: out of memory.");
  } catch (const std::exception& error) {
    console.Error(std::string("Error: ") + error.what());
  }
  after_unfinished();
  return kExitIoFailure;
}

namespace {

// How bad each known code is; a code not listed is the worst.
int Severity(int exit_code) {
  constexpr std::array<int, 4> kBestFirst = {kExitDone, kExitNotTheListedDump, kExitImageRefused,
                                             kExitIoFailure};
  for (std::size_t i = 0; i < kBestFirst.size(); ++i) {
    if (kBestFirst[i] == exit_code) return static_cast<int>(i);
  }
  return static_cast<int>(kBestFirst.size());
}

}  // namespace

int WorseExitCode(int a, int b) { return Severity(b) > Severity(a) ? b : a; }

int ReportExitCode(int exit_code, Console& console) {
  const std::optional<LostOutput> lost = console.CheckOutput();
  if (!lost) return exit_code;
  if (!lost->reader_gone) {
    console.Error("Error: Writing to standard output failed (" + lost->reason +
                  "), so what it received is incomplete.");
  }
  return exit_code == kExitDone ? kExitIoFailure : exit_code;
}

}  // namespace kelvore
