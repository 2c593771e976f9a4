#pragma once

#include <string>

namespace corvane::app {

// The texts that live for the whole run, empty at start.
struct ProgramState {
  // The full path of the image shown; empty while none is open.
  std::string ImagePath;
  // "s" while the streaming-files option is chosen, else empty.
  std::string StreamFlag;
  // "t" while the align option is chosen, else empty.
  std::string AlignFlag;
};

}  // namespace corvane::app
