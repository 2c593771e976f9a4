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
  std::optional<std::string> games;
  std::optional<std::string> dat;
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
constexpr std::array<Option, 7> kOptions = {{
    {.word = "-o", .value = &Words::output, .value_is = "the name of the output file"},
    {.word = "--games", .value = &Words::games, .value_is = "the folder the loaders read"},
    {.word = "--dat", .value = &Words::dat, .value_is = "the dump list file (.dat)"},
    {.word = "--no-verify", .turns_on = &Words::no_verify},
    {.word = "--ciso", .turns_on = &Words::ciso},
    {.word = "--info", .turns_on = &Words::info},
    {.word = "--hash", .turns_on = &Words::hash},
}};

using NamesSomething = std::function<bool(const std::string&)>;

// A word after `--` that looks like an option is an operand all the same; say so where it
// is refused.
std::string OperandHint(const std::string& word) {
  return IsOptionWord(word) ? " Every word after -- is IMAGE, the mode or a letter; options stand "
                              "before it."
                            : "";
}

bool IsModeWord(std::string_view word) { return word == kStandardMode || word == kLargeMode; }

bool IsLetterWord(std::string_view word) {
  return std::any_of(kOptionLetters.begin(), kOptionLetters.end(),
                     [word](const OptionLetter& o) { return o.letter == word; });
}

bool IsModeOrLetterWord(std::string_view word) { return IsModeWord(word) || IsLetterWord(word); }

// Where the mode stands: the last f or g that only letters follow.
std::optional<std::size_t> ModeAt(const std::vector<std::string>& operands) {
  std::size_t at = operands.size();
  while (at > 0 && IsLetterWord(operands[at - 1])) --at;
  if (at == 0 || !IsModeWord(operands[at - 1])) return std::nullopt;
  return at - 1;
}

bool HasRebuildOption(const Words& words) {
  return words.output || words.games || words.no_verify || words.ciso;
}

std::string UnexpectedAfterMode(const std::string& word) {
  std::string error = "Unexpected \"";
  error += Printable(word);
  error += "\": only ";
  for (const OptionLetter& o : kOptionLetters) {
    if (o.letter != kOptionLetters.front().letter) error += " and ";
    error += o.letter;
  }
  error += " may follow the mode.";
  error += OperandHint(word);
  return error;
}

// Sets the option `letter` stands for; returns an error message, empty when all is well.
std::string ReadLetter(const std::string& letter, LayoutOptions& options) {
  const auto option = std::find_if(kOptionLetters.begin(), kOptionLetters.end(),
                                   [&letter](const OptionLetter& o) { return o.letter == letter; });
  if (option == kOptionLetters.end()) return UnexpectedAfterMode(letter);
  if (options.*option->turns_on) return "Option " + letter + " is given twice.";
  options.*option->turns_on = true;
  return {};
}

// Why the images are refused, or nothing when they are all names of images.
std::optional<std::string> RefusedImages(const std::vector<std::string>& images) {
  for (const std::string& image : images) {
    if (image.empty()) return "The image name is empty.";
    if (IsModeOrLetterWord(image)) {
      return Joined({"\"", image,
                     "\" stands before the mode, where only images do; an image named ", image,
                     " is written ./", image, "."});
    }
  }
  return std::nullopt;
}

// IMAGE... MODE [LETTER ...] into a rebuild request, the mode standing at `mode_at`.
Command ReadRebuild(Words words, std::size_t mode_at) {
  const auto& operands = words.operands;
  if (mode_at == 0) return UsageError{"Missing IMAGE before the mode."};
  std::vector<std::string> images(operands.begin(), operands.begin() + mode_at);
  if (auto refused = RefusedImages(images)) return UsageError{*refused};
  if (words.output && words.games) {
    return UsageError{"Give -o or --games, not both."};
  }
  RebuildRequest request{
      .mode = operands[mode_at] == kStandardMode ? ImageMode::kStandard : ImageMode::kLarge,
      .output = std::move(words.output),
      .verify = !words.no_verify,
      .ciso = words.ciso};
  for (std::size_t i = mode_at + 1; i < operands.size(); ++i) {
    if (std::string error = ReadLetter(operands[i], request.options); !error.empty()) {
      return UsageError{error};
    }
  }
  if (images.size() == 1 && !words.games) {
    request.image = std::move(images.front());
    return request;
  }
  return BatchRequest{.images = std::move(images), .each = request, .games_folder = words.games};
}

// A line that asks for a rebuild, or is no report, but has no mode where it belongs.
UsageError MissingMode(const Words& words) {
  const auto& operands = words.operands;
  if (operands.empty()) return {"Missing IMAGE and the mode (f or g)."};
  if (operands.size() == 1) return {"Missing the mode (f or g) after the image."};
  // After the last f or g stands a word that is no letter, or it would be the mode.
  const auto last_mode = std::find_if(operands.rbegin(), operands.rend(), IsModeWord);
  if (last_mode != operands.rend()) {
    return {UnexpectedAfterMode(*std::find_if_not(last_mode.base(), operands.end(), IsLetterWord))};
  }
  const auto letter = std::find_if(operands.begin() + 1, operands.end(), IsLetterWord);
  const std::string& mode = letter != operands.end() ? *letter : operands.back();
  return {Joined({"The mode must be f or g, not \"", Printable(mode), "\".", OperandHint(mode)})};
}

// IMAGE... for --info, --hash and --dat, which write nothing and so take no mode; also images
// named without any, which get the report of --info.
Command ReadInspection(const Words& words, const NamesSomething& names_something) {
  if (words.dat && (HasRebuildOption(words) || ModeAt(words.operands))) {
    return UsageError{
        "--dat checks an image as it is, and a rebuilt one is never the listed dump: rebuild "
        "without --dat, and check the new image afterwards."};
  }
  if (words.output || words.no_verify || words.ciso) {
    return UsageError{"-o, --no-verify and --ciso belong to a rebuild, not to --info or --hash."};
  }
  if (words.games) return UsageError{"--games belongs to a rebuild, not to --info or --hash."};
  const auto& operands = words.operands;
  if (operands.empty()) return UsageError{"Missing IMAGE."};
  if (std::any_of(operands.begin(), operands.end(),
                  [](const std::string& o) { return o.empty(); })) {
    return UsageError{"The image name is empty."};
  }
  // A mode or a letter among images, or a last word of several that names nothing.
  auto extra = std::find_if(operands.begin() + 1, operands.end(), IsModeOrLetterWord);
  const bool named =
      extra == operands.end() &&
      (operands.size() == 1 || (names_something && names_something(operands.back())));
  if (!named) {
    if (extra == operands.end()) --extra;
    const std::string word = Printable(*extra);
    std::string error = "--info, --hash and --dat take images alone, without a mode or letters";
    if (IsModeOrLetterWord(*extra)) {
      error += ": \"";
    } else {
      error += ", and nothing is named \"";
      error += word;
      error += "\": \"";
    }
    error += word;
    error += "\" is one too many.";
    error += OperandHint(*extra);
    return UsageError{error};
  }
  InspectRequest request{.info = words.info || (!words.hash && !words.dat),
                         .hash = words.hash,
                         .dump_list = words.dat};
  if (operands.size() == 1) {
    request.image = operands.front();
    return request;
  }
  return BatchRequest{.images = operands, .each = request};
}

// Images named without a mode or a rebuild's options get the report, when the last of
// several names something.
bool AreImagesAlone(const Words& words, const NamesSomething& names_something) {
  const auto& operands = words.operands;
  if (HasRebuildOption(words) || operands.empty()) return false;
  if (operands.size() == 1) return true;
  return std::none_of(operands.begin() + 1, operands.end(), IsModeOrLetterWord) &&
         names_something && names_something(operands.back());
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

Command ParseArguments(const std::vector<std::string>& args,
                       const std::function<bool(const std::string&)>& names_something) {
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
  if (words.info || words.hash || words.dat || AreImagesAlone(words, names_something)) {
    return ReadInspection(words, names_something);
  }
  if (const auto mode_at = ModeAt(words.operands)) return ReadRebuild(std::move(words), *mode_at);
  return MissingMode(words);
}

bool IsOptionWord(std::string_view word) { return word.size() > 1 && word.front() == '-'; }

}  // namespace kelvore
