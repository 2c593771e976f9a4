#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "kelvore/disc/layout.h"

namespace kelvore {

struct RebuildRequest {
  std::string image = {};
  ImageMode mode = ImageMode::kStandard;
  LayoutOptions options = {};
  std::optional<std::string> output = {};  // default: beside the image, see DefaultOutputPath
  bool verify = true;
  bool ciso = false;  // --ciso: a CISO file, which leaves out the blocks that hold only zeros
};

// `--info`, `--hash` or both: a report on the image, which nothing is written for.
struct InspectRequest {
  std::string image = {};
  bool info = false;
  bool hash = false;
};

struct ShowHelp {};
struct ShowVersion {};
struct UsageError {
  std::string message;
};

using Command = std::variant<RebuildRequest, InspectRequest, ShowHelp, ShowVersion, UsageError>;

// Reads the command line's forms, as the usage shows them: `IMAGE MODE [LETTER ...]` with
// `--ciso`, `-o OUTPUT` and `--no-verify`; `IMAGE` with `--info`, `--hash`, both or neither (the
// report of --info); `--help`; `--version`. Options may stand anywhere before a `--`, after
// which every word is IMAGE, MODE or a letter (an image may be named "-x"). `args` excludes
// the program's own name.
Command ParseArguments(const std::vector<std::string>& args);

// Whether ParseArguments takes `word` for an option rather than for IMAGE, MODE or a letter:
// it starts with '-' and has more after it.
bool IsOptionWord(std::string_view word);

}  // namespace kelvore
