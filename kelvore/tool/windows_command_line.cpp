#include "kelvore/tool/windows_command_line.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <optional>

#include "kelvore/tool/command_line.h"
#include "support/rebuild_facts.h"

namespace kelvore {
namespace {

using namespace corvane::rebuild;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeadingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

// What follows the program's path.
std::string_view SkipProgramPath(std::string_view line, std::string_view own_path) {
  if (!line.empty() && line.front() == '"') {
    const std::size_t close = line.find('"', 1);
    return close == std::string_view::npos ? std::string_view{} : line.substr(close + 1);
  }
  if (!own_path.empty() && StartsWithIgnoringCase(line, own_path) &&
      (line.size() == own_path.size() || IsBlank(line[own_path.size()]))) {
    return line.substr(own_path.size());
  }
  std::size_t end = 0;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return line.substr(end);
}

bool HoldsOptionWord(std::string_view text) {
  while (!(text = TrimLeadingBlanks(text)).empty()) {
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    if (IsOptionWord(text.substr(0, end))) return true;
    text.remove_prefix(end);
  }
  return false;
}

// The letters Corvane writes, in its order, each in a slot of its own after the mode that
// stays blank when the letter is not chosen. Corvane's line keeps these two slots whatever
// letters kelvore reads.
constexpr std::array<std::string_view, 2> kCorvaneLetters = {kAlignOption, kStreamOption};

bool IsKnown(std::string_view letter, std::span<const OptionLetter> known_letters) {
  return std::any_of(known_letters.begin(), known_letters.end(),
                     [letter](const OptionLetter& known) { return known.letter == letter; });
}

// The end of a line as Corvane composes it for `mode` and the letters `chosen` names (bit i
// for Corvane's letter i): " MODE", then for each letter a blank and the letter or nothing.
// Empty where `chosen` names a letter kelvore does not know.
std::string CorvaneSuffix(std::string_view mode, std::size_t chosen,
                          std::span<const OptionLetter> known_letters,
                          std::vector<std::string>& letters) {
  std::string suffix(1, ' ');
  suffix.append(mode);
  for (std::size_t i = 0; i < kCorvaneLetters.size(); ++i) {
    suffix += ' ';
    if ((chosen & (std::size_t{1} << i)) == 0) continue;
    if (!IsKnown(kCorvaneLetters[i], known_letters)) return {};
    suffix += kCorvaneLetters[i];
    letters.emplace_back(kCorvaneLetters[i]);
  }
  return suffix;
}

// IMAGE, MODE and the option letters of a line in exactly the form Corvane composes: no
// quotes and no option words anywhere.
std::optional<std::vector<std::string>> CorvaneArguments(
    std::string_view tail, std::span<const OptionLetter> known_letters) {
  if (tail.find('"') != std::string_view::npos || HoldsOptionWord(tail)) return std::nullopt;
  static constexpr std::array<std::string_view, 2> kModes = {kStandardMode, kLargeMode};
  constexpr std::size_t kLetterChoices = std::size_t{1} << kCorvaneLetters.size();
  for (std::string_view mode : kModes) {
    for (std::size_t chosen = 0; chosen < kLetterChoices; ++chosen) {
      std::vector<std::string> letters;
      const std::string suffix = CorvaneSuffix(mode, chosen, known_letters, letters);
      if (suffix.empty() || tail.size() <= suffix.size() || !tail.ends_with(suffix)) continue;
      const std::string_view image = tail.substr(0, tail.size() - suffix.size());
      if (IsBlank(image.back())) continue;
      std::vector<std::string> args{std::string(image), std::string(mode)};
      args.insert(args.end(), letters.begin(), letters.end());
      return args;
    }
  }
  return std::nullopt;
}

// The image words of a line in Corvane's form are one path holding blanks where that names
// something and the words one by one, which blanks separate (the line holds no quotes), do
// not all do; else they are several images.
bool IsJoinedPathMeant(const std::string& joined,
                       const std::function<bool(const std::string&)>& path_exists) {
  if (!path_exists(joined)) return false;
  for (std::size_t begin = 0; begin < joined.size();) {
    const std::size_t end = std::min(joined.find_first_of(" \t", begin), joined.size());
    if (end > begin && !path_exists(joined.substr(begin, end - begin))) return true;
    begin = end + 1;
  }
  return false;
}

}  // namespace

std::vector<std::string> SplitWindowsArguments(std::string_view text) {
  std::vector<std::string> args;
  std::string current;
  bool in_argument = false;
  bool quoted = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (!quoted && IsBlank(c)) {
      if (in_argument) args.push_back(std::move(current));
      current.clear();
      in_argument = false;
      ++i;
      continue;
    }
    in_argument = true;
    if (c == '\\') {
      std::size_t count = 0;
      while (i < text.size() && text[i] == '\\') ++count, ++i;
      const bool before_quote = i < text.size() && text[i] == '"';
      current.append(before_quote ? count / 2 : count, '\\');
      if (before_quote && count % 2 == 1) current += text[i++];
    } else if (c == '"') {
      if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
        current += '"';
        i += 2;
      } else {
        quoted = !quoted;
        ++i;
      }
    } else {
      current += c;
      ++i;
    }
  }
  if (in_argument) args.push_back(std::move(current));
  return args;
}

std::vector<std::string> ArgumentsFromCommandLine(
    std::string_view command_line, std::string_view own_path,
    std::span<const OptionLetter> known_letters,
    const std::function<bool(const std::string&)>& path_exists) {
  const std::string_view tail = TrimLeadingBlanks(SkipProgramPath(command_line, own_path));
  if (auto args = CorvaneArguments(tail, known_letters)) {
    if (!path_exists || IsJoinedPathMeant(args->front(), path_exists)) return *args;
  }
  return SplitWindowsArguments(tail);
}

}  // namespace kelvore
