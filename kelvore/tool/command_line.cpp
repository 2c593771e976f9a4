#include "kelvore/tool/command_line.h"

#include <algorithm>
#include <cstddef>

#include "kelvore/base/message_format.h"
#include "kelvore/tool/option_letters.h"
#include "support/rebuild_facts.h"

namespace kelvore {
namespace {

using namespace corvane::rebuild;

// What the words of a command line said, before they are checked against each other.
struct Words {
  std::vector<std::string> positionals;
  std::optional<std::string> output;
  bool no_verify = false;
  bool ciso = false;
  bool info = false;
  bool hash = false;
};

// Sets the option `letter` stands for; returns an error message, empty when all is well.
std::string ReadLetter(const std::string& letter, LayoutOptions& options) {
  const auto option = std::find_if(kOptionLetters.begin(), kOptionLetters.end(),
                                   [&letter](const OptionLetter& o) { return o.letter == letter; });
  if (option == kOptionLetters.end()) {
    std::string known;
    for (const OptionLetter& o : kOptionLetters)
      known.append(known.empty() ? "" : " and ").append(o.letter);
    return "Unexpected \"" + Printable(letter) + "\": only " + known + " may follow MODE.";
  }
  if (options.*option->turns_on) return "Option " + letter + " is given twice.";
  options.*option->turns_on = true;
  return {};
}

// IMAGE MODE [LETTER ...] into a rebuild request.
Command ReadRebuild(Words words) {
  const auto& positionals = words.positionals;
  if (positionals.empty()) return UsageError{"Missing IMAGE and MODE."};
  if (positionals.size() == 1) return UsageError{"Missing MODE (f or g) after the image."};
  RebuildRequest request{.image = positionals[0],
                         .output = std::move(words.output),
                         .verify = !words.no_verify,
                         .ciso = words.ciso};
  if (request.image.empty()) return UsageError{"The image name is empty."};
  const std::string& mode = positionals[1];
  if (mode != kStandardMode && mode != kLargeMode) {
    return UsageError{"MODE must be f or g, not \"" + Printable(mode) + "\"."};
  }
  request.mode = mode == kStandardMode ? ImageMode::kStandard : ImageMode::kLarge;
  for (std::size_t i = 2; i < positionals.size(); ++i) {
    if (std::string error = ReadLetter(positionals[i], request.options); !error.empty()) {
      return UsageError{error};
    }
  }
  return request;
}

// IMAGE alone, for --info and --hash, which write nothing and so take no mode.
Command ReadInspection(const Words& words) {
  if (words.output || words.no_verify || words.ciso) {
    return UsageError{"-o, --no-verify and --ciso belong to a rebuild, not to --info or --hash."};
  }
  if (words.positionals.empty()) return UsageError{"Missing IMAGE."};
  if (words.positionals[0].empty()) return UsageError{"The image name is empty."};
  if (words.positionals.size() > 1) {
    return UsageError{"--info and --hash take the image alone, without a mode or letters: \"" +
                      Printable(words.positionals[1]) + "\" is one too many."};
  }
  return InspectRequest{.image = words.positionals[0], .info = words.info, .hash = words.hash};
}

}  // namespace

Command ParseArguments(const std::vector<std::string>& args) {
  Words words;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended) {
      words.positionals.push_back(arg);
    } else if (arg == "--") {
      options_ended = true;
    } else if (arg == "--help") {
      return ShowHelp{};
    } else if (arg == "--version") {
      return ShowVersion{};
    } else if (arg == "--no-verify") {
      words.no_verify = true;
    } else if (arg == "--ciso") {
      words.ciso = true;
    } else if (arg == "--info") {
      words.info = true;
    } else if (arg == "--hash") {
      words.hash = true;
    } else if (arg == "-o") {
      if (i + 1 == args.size() || args[i + 1].empty()) {
        return UsageError{"-o needs the name of the output file."};
      }
      if (words.output) return UsageError{"-o is given twice."};
      words.output = args[++i];
    } else if (IsOptionWord(arg)) {
      return UsageError{"Unknown option \"" + Printable(arg) + "\"."};
    } else {
      words.positionals.push_back(arg);
    }
  }
  return words.info || words.hash ? ReadInspection(words) : ReadRebuild(std::move(words));
}

bool IsOptionWord(std::string_view word) { return word.size() > 1 && word.front() == '-'; }

}  // namespace kelvore
