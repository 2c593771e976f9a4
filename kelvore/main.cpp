// kelvore: rebuilds a wiped GameCube disc image into a full-size one, and reports on an
// image and its checksums. Corvane starts it as `kelvore IMAGE f|g [t] [s]`.

#include <string>
#include <type_traits>
#include <variant>

#include "kelvore/platform/arguments.h"
#include "kelvore/platform/file_system.h"
#include "kelvore/platform/process_start.h"
#include "kelvore/platform/terminal.h"
#include "kelvore/tool/command_line.h"
#include "kelvore/tool/exit_codes.h"
#include "kelvore/tool/inspection_job.h"
#include "kelvore/tool/rebuild_job.h"
#include "kelvore/tool/usage.h"

namespace {

using namespace kelvore;

const RebuildServices kFiles{
    .open_source = OpenSourceImage,
    .create_output = CreateOutputFile,
    .path_exists = PathExists,
};

int Rebuild(RebuildRequest request, Console& console) {
  request.image = ResolvePath(request.image);
  if (request.output) request.output = ResolvePath(*request.output);
  WatchForInterrupts();
  return RunRebuild(request, kFiles, console, InterruptRequested());
}

int Inspect(InspectRequest request, Console& console) {
  request.image = ResolvePath(request.image);
  WatchForInterrupts();
  return RunInspection(request, OpenSourceImage, console, InterruptRequested());
}

int Run(const Command& command, Console& console) {
  return std::visit(
      [&console](const auto& parsed) -> int {
        using Parsed = std::decay_t<decltype(parsed)>;
        if constexpr (std::is_same_v<Parsed, ShowHelp>) {
          console.Line(HelpText());
          return kExitDone;
        } else if constexpr (std::is_same_v<Parsed, ShowVersion>) {
          console.Line(kVersionText);
          return kExitDone;
        } else if constexpr (std::is_same_v<Parsed, UsageError>) {
          console.Error("Error: " + parsed.message);
          console.Error(ShortUsage());
          return kExitUsage;
        } else if constexpr (std::is_same_v<Parsed, InspectRequest>) {
          return Inspect(parsed, console);
        } else {
          return Rebuild(parsed, console);
        }
      },
      command);
}

}  // namespace

int main(int argc, char** argv) {
  if (!PrepareProcess()) return kExitIoFailure;
  const auto console = MakeTerminalConsole();
  const Command command = ParseArguments(ProgramArguments(argc, argv));
  int exit_code = Run(command, *console);
  // A rebuild's result is the image; every other command's is its output.
  if (!std::holds_alternative<RebuildRequest>(command)) {
    exit_code = ReportExitCode(exit_code, *console);
  }
  MarkCleanupDone();
  WaitForEnterIfWindowIsOurs(*console);
  return exit_code;
}
