#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvore {

// The text a console writes for whole lines and for a progress line that is redrawn in
// place with carriage returns: each piece covers whatever of the previous progress line
// is still showing, so a phase ends on its final figures without stray characters.
class ConsoleLines {
 public:
  explicit ConsoleLines(std::string_view newline) : newline_(newline) {}

  // A whole line, replacing a progress line that is showing.
  std::string Line(std::string_view text);
  // A progress line, replacing the previous one.
  std::string Progress(std::string_view text);
  // Ends a progress line that is showing, before output elsewhere; empty when none is.
  std::string EndProgress();

 private:
  std::string Covering(std::string_view text) const;

  std::string newline_;
  std::size_t shown_width_ = 0;
};

}  // namespace kelvore
