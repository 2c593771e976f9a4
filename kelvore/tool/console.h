#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvore {

// Why text written with Console::Line or Progress did not all arrive.
struct LostOutput {
  bool reader_gone = false;  // the reader of a pipe had gone: the text was no longer wanted
  std::string reason;        // the system's words, such as "No space left on device"
};

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

  // Pushes out what Line and Progress have written and tells whether any of it was lost:
  // the first failure, once there was one. Errors are not counted.
  virtual std::optional<LostOutput> CheckOutput() = 0;
};

}  // namespace kelvore
