#include "kelvore/tool/command_line.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "kelvore/base/message_format.h"
#include "kelvore/tool/option_letters.h"
#include "support/rebuild_facts.h"

namespace kelvore {
namespace {

using namespace corvane::rebuild;

// What the words of a command line said, before they are checked against each other.
struct Words {
  std::vector<std::string> operands;
  std::optional<std::string> output;
  bool no_verify = false;
  bool ciso = false;
  bool info = false;
  bool hash = false;
};

// One option word: a switch it turns on, or a value it takes from the word after it.
struct Option {
  std::string_view word;
  bool Words::*turns_on = nullptr;
  std::optional<std::string> Words::*value = nullptr;
  std::string_view value_is = {};  // what the value names, for the message when it is missing
};

// A new option is a row here, its field in Words, and what ReadRebuild or ReadInspection
// makes of it.
constexpr std::array<Option, 5> kOptions = {{
    {.word = "-o", .value = &Words::output, .value_is = "the name of the output file"},
    {.word = "--no-verify", .turns_on = &Words::no_verify},
    {.word = "--ciso", .turns_on = &Words::ciso},
    {.word = "--info", .turns_on = &Words::info},
    {.word = "--hash", .turns_on = &Words::hash},
}};

// A word after `--` that looks like an option is an operand all the same; say so where it
// is refused.
std::string OperandHint(const std::string& word) {
  return IsOptionWord(word) ? " Every word after -- is IMAGE, the mode or a letter; options stand "
                              "before it."
                            : "";
}

// Sets the option `letter` stands for; returns an error message, empty when all is well.
std::string ReadLetter(const std::string& letter, LayoutOptions& options) {
  const auto option = std::find_if(kOptionLetters.begin(), kOptionLetters.end(),
                                   [&letter](const OptionLetter& o) { return o.letter == letter; });
  if (option == kOptionLetters.end()) {
    std::string known;
    for (const OptionLetter& o : kOptionLetters)
      known.append(known.empty() ? "" : " and ").append(o.letter);
    return "Unexpected \"" + Printable(letter) + "\": only " + known + " may follow the mode." +
           OperandHint(letter);
  }
  if (options.*option->turns_on) return "Option " + letter + " is given twice.";
  options.*option->turns_on = true;
  return {};
}

// IMAGE MODE [LETTER ...] into a rebuild request.
Command ReadRebuild(Words words) {
  const auto& operands = words.operands;
  if (operands.empty()) return UsageError{"Missing IMAGE and the mode (f or g)."};
  if (operands.size() == 1) return UsageError{"Missing the mode (f or g) after the image."};
  RebuildRequest request{.image = operands[0],
                         .output = std::move(words.output),
                         .verify = !words.no_verify,
                         .ciso = words.ciso};
  if (request.image.empty()) return UsageError{"The image name is empty."};
  const std::string& mode = operands[1];
  if (mode != kStandardMode && mode != kLargeMode) {
    return UsageError{"The mode must be f or g, not \"" + Printable(mode) + "\"." +
                      OperandHint(mode)};
  }
  request.mode = mode == kStandardMode ? ImageMode::kStandard : ImageMode::kLarge;
  for (std::size_t i = 2; i < operands.size(); ++i) {
    if (std::string error = ReadLetter(operands[i], request.options); !error.empty()) {
      return UsageError{error};
    }
  }
  return request;
}

// IMAGE alone, for --info and --hash, which write nothing and so take no mode. IMAGE
// without either gets the report of --info.
Command ReadInspection(const Words& words) {
  if (words.output || words.no_verify || words.ciso) {
    return UsageError{"-o, --no-verify and --ciso belong to a rebuild, not to --info or --hash."};
  }
  if (words.operands.empty()) return UsageError{"Missing IMAGE."};
  if (words.operands[0].empty()) return UsageError{"The image name is empty."};
  if (words.operands.size() > 1) {
    return UsageError{"--info and --hash take the image alone, without a mode or letters: \"" +
                      Printable(words.operands[1]) + "\" is one too many." +
                      OperandHint(words.operands[1])};
  }
  return InspectRequest{
      .image = words.operands[0], .info = words.info || !words.hash, .hash = words.hash};
}

// A report is asked for by --info or --hash, or by an image named alone.
bool AsksForInspection(const Words& words) {
  const bool image_alone =
      words.operands.size() == 1 && !words.output && !words.no_verify && !words.ciso;
  return words.info || words.hash || image_alone;
}

// Reads the option `option` at args[at], and its value; returns an error message, empty
// when all is well, and leaves `at` on the last word it took.
std::string ReadOption(const Option& option, const std::vector<std::string>& args, std::size_t& at,
                       Words& words) {
  if (option.turns_on != nullptr) {
    words.*option.turns_on = true;
    return {};
  }
  const std::string word(option.word);
  if (at + 1 == args.size() || args[at + 1].empty()) {
    return word + " needs " + std::string(option.value_is) + ".";
  }
  if (words.*option.value) return word + " is given twice.";
  words.*option.value = args[++at];
  return {};
}

}  // namespace

Command ParseArguments(const std::vector<std::string>& args) {
  Words words;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || !IsOptionWord(arg)) {
      words.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
    } else if (arg == "--help") {
      return ShowHelp{};
    } else if (arg == "--version") {
      return ShowVersion{};
    } else if (const auto option = std::find_if(kOptions.begin(), kOptions.end(),
                                                [&arg](const Option& o) { return o.word == arg; });
               option != kOptions.end()) {
      if (std::string error = ReadOption(*option, args, i, words); !error.empty()) {
        return UsageError{error};
      }
    } else {
      return UsageError{"Unknown option \"" + Printable(arg) + "\"."};
    }
  }
  return AsksForInspection(words) ? ReadInspection(words) : ReadRebuild(std::move(words));
}

bool IsOptionWord(std::string_view word) { return word.size() > 1 && word.front() == '-'; }

}  // namespace kelvore
