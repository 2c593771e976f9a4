#include "kelvore/tool/option_letters.h"

#include "kelvore/base/message_format.h"

namespace kelvore {
namespace {

// Where the help text's descriptions start.
constexpr std::size_t kHelpColumn = 15;

}  // namespace

std::string OptionsSummary(const LayoutOptions& options) {
  std::string line;
  for (const OptionLetter& option : kOptionLetters) {
    if (!(options.*option.turns_on)) continue;
    if (!line.empty()) line += ", ";
    line.append(option.letter).append(" (").append(option.summary).append(")");
  }
  return line.empty() ? "none" : line;
}

std::string LettersTyped(ImageMode mode, const LayoutOptions& options) {
  std::string typed(mode == ImageMode::kStandard ? corvane::rebuild::kStandardMode
                                                 : corvane::rebuild::kLargeMode);
  for (const OptionLetter& option : kOptionLetters) {
    if (options.*option.turns_on) typed.append(" ").append(option.letter);
  }
  return typed;
}

std::string OptionLettersHelp() {
  std::string help;
  for (const OptionLetter& option : kOptionLetters) {
    std::string line = LabelColumn("  " + std::string(option.letter), kHelpColumn);
    for (const char c : option.help) {
      line += c;
      if (c == '\n') line.append(kHelpColumn, ' ');
    }
    help += line + "\n";
  }
  return help;
}

}  // namespace kelvore
