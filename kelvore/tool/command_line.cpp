#include "kelvore/tool/command_line.h"

#include <cstddef>

#include "kelvore/disc/text_format.h"
#include "support/rebuild_facts.h"

namespace kelvore {
namespace {

using namespace corvane::rebuild;

// Fills the request from IMAGE MODE [t] [s]; returns an error message, empty when all is well.
std::string ReadPositionals(const std::vector<std::string>& positionals, RebuildRequest& request) {
  if (positionals.empty()) return "Missing IMAGE and MODE.";
  if (positionals.size() == 1) return "Missing MODE (f or g) after the image.";
  request.image = positionals[0];
  if (request.image.empty()) return "The image name is empty.";
  const std::string& mode = positionals[1];
  if (mode != kStandardMode && mode != kLargeMode) {
    return "MODE must be f or g, not \"" + Printable(mode) + "\".";
  }
  request.mode = mode == kStandardMode ? ImageMode::kStandard : ImageMode::kLarge;

  bool seen_t = false;
  bool seen_s = false;
  for (std::size_t i = 2; i < positionals.size(); ++i) {
    const std::string& option = positionals[i];
    if (option != kAlignOption && option != kStreamOption) {
      return "Unexpected \"" + Printable(option) + "\": only t and s may follow MODE.";
    }
    bool& seen = option == kAlignOption ? seen_t : seen_s;
    if (seen) return "Option " + option + " is given twice.";
    seen = true;
  }
  request.options = {.align_all_files = seen_t, .isolate_streaming_audio = seen_s};
  return {};
}

}  // namespace

Command ParseArguments(const std::vector<std::string>& args) {
  RebuildRequest request;
  std::vector<std::string> positionals;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended) {
      positionals.push_back(arg);
    } else if (arg == "--") {
      options_ended = true;
    } else if (arg == "--help") {
      return ShowHelp{};
    } else if (arg == "--version") {
      return ShowVersion{};
    } else if (arg == "--no-verify") {
      request.verify = false;
    } else if (arg == "-o") {
      if (i + 1 == args.size() || args[i + 1].empty()) {
        return UsageError{"-o needs the name of the output file."};
      }
      if (request.output) return UsageError{"-o is given twice."};
      request.output = args[++i];
    } else if (IsOptionWord(arg)) {
      return UsageError{"Unknown option \"" + Printable(arg) + "\"."};
    } else {
      positionals.push_back(arg);
    }
  }
  if (std::string error = ReadPositionals(positionals, request); !error.empty()) {
    return UsageError{error};
  }
  return request;
}

bool IsOptionWord(std::string_view word) { return word.size() > 1 && word.front() == '-'; }

}  // namespace kelvore
