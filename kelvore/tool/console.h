#pragma once

#include <string_view>

namespace kelvore {

// Where the tool reports to the user.
class Console {
 public:
  virtual ~Console() = default;

  // A complete line of output; it takes the place of a progress line that is showing.
  virtual void Line(std::string_view text) = 0;

  // Shows `text` as the progress line, replacing the previous one in place. An Error starts
  // below it.
  virtual void Progress(std::string_view text) = 0;

  virtual void Error(std::string_view text) = 0;
};

}  // namespace kelvore
