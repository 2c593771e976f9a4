#pragma once

#include <functional>
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

// `--info`, `--hash`, `--dat` or several: a report on the image, which nothing is written for.
struct InspectRequest {
  std::string image = {};
  bool info = false;
  bool hash = false;
  std::optional<std::string> dump_list = {};  // --dat: the dump list to check the image against
};

// Several images, folders or names with wildcards, or --games: each image in turn.
struct BatchRequest {
  std::vector<std::string> images;                    // the IMAGE words, not yet expanded
  std::variant<RebuildRequest, InspectRequest> each;  // done to every image; its image unused
  std::optional<std::string> games_folder = {};       // --games: the loaders' folders
};

struct ShowHelp {};
struct ShowVersion {};
struct UsageError {
  std::string message;
};

using Command =
    std::variant<RebuildRequest, InspectRequest, BatchRequest, ShowHelp, ShowVersion, UsageError>;

// Reads the command line's forms, as the usage shows them: `IMAGE... MODE [LETTER ...]` with
// `--ciso`, `-o OUTPUT` or `--games FOLDER`, and `--no-verify`; `IMAGE...` with `--info`,
// `--hash`, `--dat FILE`, any of them or none (the report of --info); `--help`; `--version`.
// Options may stand anywhere before a `--`, after which every word is IMAGE, MODE or a letter (an
// image may be named "-x"). `args` excludes the program's own name.
//
// MODE is the last f or g that only letters follow; the words before it are images. A word
// that is a mode or a letter is never an image (an image named f is written ./f). With
// several words and no mode, the last one must name something on the drive, as
// `names_something` tells (without it, nothing does): otherwise it is taken for a mistyped
// mode, or with --info or --hash for one word too many, and refused. One image without
// --games gives a RebuildRequest or InspectRequest, anything more a BatchRequest.
Command ParseArguments(const std::vector<std::string>& args,
                       const std::function<bool(const std::string&)>& names_something = {});

// Whether ParseArguments takes `word` for an option rather than for IMAGE, MODE or a letter:
// it starts with '-' and has more after it.
bool IsOptionWord(std::string_view word);

}  // namespace kelvore
