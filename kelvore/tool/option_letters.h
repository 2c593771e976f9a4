#pragma once

#include <array>
#include <string>
#include <string_view>

#include "kelvore/disc/layout.h"
#include "support/rebuild_facts.h"

namespace kelvore {

// One option letter of `kelvore IMAGE MODE [LETTER ...]`: everything the command line, the
// summary and the help text say of it, and the layout option it turns on. A new letter is
// a row here and its layout option. Corvane's own letters come from rebuild_facts.h, and
// its command line keeps a slot for each of those two only (see windows_command_line.h).
struct OptionLetter {
  std::string_view letter;
  std::string_view summary;  // after the letter in the summary's "Options:" line
  std::string_view help;     // the help text's description; "\n" starts a continuation line
  bool LayoutOptions::*turns_on;
};

// Corvane's letters first, in the order it writes them: `IMAGE MODE ALIGN STREAM`.
inline constexpr std::array<OptionLetter, 2> kOptionLetters = {{
    {corvane::rebuild::kAlignOption, "every file on 32 KiB",
     "start every file on a 32 KiB boundary", &LayoutOptions::align_all_files},
    {corvane::rebuild::kStreamOption, "streaming audio on whole 32 KiB blocks",
     "start streaming audio files (.adp, .dtk) on 32 KiB and keep the\n"
     "rest of their last 32 KiB block empty",
     &LayoutOptions::isolate_streaming_audio},
}};

// "t (every file on 32 KiB), s (...)" for the letters `options` turns on; "none" for none.
std::string OptionsSummary(const LayoutOptions& options);

// "f t": the mode and the letters, as they would be typed.
std::string LettersTyped(ImageMode mode, const LayoutOptions& options);

// The help text's lines for the letters, each indented as the other arguments are.
std::string OptionLettersHelp();

}  // namespace kelvore
