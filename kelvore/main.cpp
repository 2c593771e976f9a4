// kelvore: rebuilds a wiped GameCube disc image into a full-size one, and reports on an
// image, its checksums and what a dump list says of it, for one image or many. Corvane starts it as
// `kelvore IMAGE f|g [t] [s]`.

#include <string>
#include <type_traits>
#include <variant>

#include "kelvore/platform/arguments.h"
#include "kelvore/platform/file_system.h"
#include "kelvore/platform/folders.h"
#include "kelvore/platform/process_start.h"
#include "kelvore/platform/terminal.h"
#include "kelvore/tool/batch_run.h"
#include "kelvore/tool/command_line.h"
#include "kelvore/tool/exit_codes.h"
#include "kelvore/tool/inspection_job.h"
#include "kelvore/tool/rebuild_job.h"
#include "kelvore/tool/usage.h"

namespace {

using namespace kelvore;

const BatchServices kServices{
    .files = {.open_source = OpenSourceImage,
              .create_output = CreateOutputFile,
              .path_exists = PathExists},
    .words = {.folders = SystemFolders(), .expand_wildcards = kExpandsWildcards},
};

bool NamesSomethingOnTheDrive(const std::string& word) {
  return NamesSomething(word, kServices.words, PathExists);
}

int RunMany(BatchRequest request, Console& console) {
  for (std::string& image : request.images) image = ResolvePath(image);
  if (request.games_folder) request.games_folder = ResolvePath(*request.games_folder);
  if (auto* rebuild = std::get_if<RebuildRequest>(&request.each); rebuild && rebuild->output) {
    rebuild->output = ResolvePath(*rebuild->output);
  }
  WatchForInterrupts();
  return RunBatch(request, kServices, console, InterruptRequested());
}

// A folder or a name with wildcards, given alone, may stand for many images.
int Rebuild(RebuildRequest request, Console& console) {
  if (StandsForSeveral(request.image, kServices.words)) {
    return RunMany({.images = {request.image}, .each = request}, console);
  }
  request.image = ResolvePath(request.image);
  if (request.output) request.output = ResolvePath(*request.output);
  WatchForInterrupts();
  return RunRebuild(request, kServices.files, console, InterruptRequested());
}

int Inspect(InspectRequest request, Console& console) {
  if (StandsForSeveral(request.image, kServices.words)) {
    return RunMany({.images = {request.image}, .each = request}, console);
  }
  request.image = ResolvePath(request.image);
  WatchForInterrupts();
  DumpList list;
  if (const int loaded = LoadDumpListOf(request, console, list); loaded != kExitDone) return loaded;
  return RunInspection(request, OpenSourceImage, console, InterruptRequested(),
                       request.dump_list ? &list : nullptr);
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
        } else if constexpr (std::is_same_v<Parsed, BatchRequest>) {
          return RunMany(parsed, console);
        } else {
          return Rebuild(parsed, console);
        }
      },
      command);
}

// A rebuild's result is the images; every other command's is its output.
bool IsRebuild(const Command& command) {
  const auto* many = std::get_if<BatchRequest>(&command);
  return std::holds_alternative<RebuildRequest>(command) ||
         (many != nullptr && std::holds_alternative<RebuildRequest>(many->each));
}

}  // namespace

int main(int argc, char** argv) {
  if (!PrepareProcess()) return kExitIoFailure;
  const auto console = MakeTerminalConsole();
  const Command command = ParseArguments(ProgramArguments(argc, argv), NamesSomethingOnTheDrive);
  int exit_code = Run(command, *console);
  if (!IsRebuild(command)) exit_code = ReportExitCode(exit_code, *console);
  MarkCleanupDone();
  WaitForEnterIfWindowIsOurs(*console);
  return exit_code;
}
