#include "kelvore/tool/exit_codes.h"

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
