#include "kelvore/tool/console_lines.h"

namespace kelvore {

std::string ConsoleLines::Covering(std::string_view text) const {
  std::string line(text);
  if (text.size() < shown_width_) line.append(shown_width_ - text.size(), ' ');
  return line;
}

std::string ConsoleLines::Line(std::string_view text) {
  std::string line(shown_width_ == 0 ? "" : "\r");
  line.append(Covering(text)).append(newline_);
  shown_width_ = 0;
  return line;
}

std::string ConsoleLines::Progress(std::string_view text) {
  std::string line(1, '\r');
  line.append(Covering(text));
  shown_width_ = text.size();
  return line;
}

std::string ConsoleLines::EndProgress() {
  if (shown_width_ == 0) return {};
  shown_width_ = 0;
  return newline_;
}

}  // namespace kelvore
