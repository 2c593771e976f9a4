#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kelvore/tool/option_letters.h"

namespace kelvore {

// Splits text into arguments by the rules Windows programs follow: blanks separate, double
// quotes group, backslashes escape a quote that follows them.
std::vector<std::string> SplitWindowsArguments(std::string_view text);

// The arguments of a whole Windows command line, without the program's own path.
//
// A caller that starts the tool as Corvane does composes `FOLDER\kelvore.exe IMAGE f t s` by
// plain concatenation. Corvane quotes the program's path and IMAGE where they hold a blank;
// a caller that does not leaves them bare, so the program path may hold blanks (recognised
// by comparing with `own_path`, the running executable), and so may IMAGE when the volume
// keeps no 8.3 names: a line ending exactly as such a line ends (" f " or " g ", then "t"
// or nothing, a blank, then "s" or nothing) and holding no quote and no option word keeps
// everything before the mode as the image path. Any other line, Corvane's quoted ones among
// them, is split as every Windows program splits it, so options may stand anywhere.
//
// Several images may stand before the mode, so that such a line may also be several unquoted
// paths without blanks. Given `path_exists`, the line is read in Corvane's form only when the
// joined words name something on the drive and the separate words do not all do; without it,
// the form alone decides.
//
// Corvane writes a slot for each of its two letters, t and s, whatever letters kelvore reads;
// `known_letters`, the letters kelvore reads, only decides which of them a slot may hold.
std::vector<std::string> ArgumentsFromCommandLine(
    std::string_view command_line, std::string_view own_path,
    std::span<const OptionLetter> known_letters = kOptionLetters,
    const std::function<bool(const std::string&)>& path_exists = {});

}  // namespace kelvore
