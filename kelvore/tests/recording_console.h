#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kelvore/tool/console.h"

namespace kelvore::testkit {

// Keeps the lines and errors the tool reports, for tests to examine.
class RecordingConsole : public Console {
 public:
  void Line(std::string_view text) override { lines.emplace_back(text); }
  void Progress(std::string_view) override {}
  void Error(std::string_view text) override { errors.emplace_back(text); }
  std::optional<LostOutput> CheckOutput() override { return lost; }

  std::string AllLines() const { return Join(lines); }
  std::string AllErrors() const { return Join(errors); }

  std::vector<std::string> lines;
  std::vector<std::string> errors;
  std::optional<LostOutput> lost;  // what CheckOutput reports

 private:
  static std::string Join(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) joined += text + "\n";
    return joined;
  }
};

}  // namespace kelvore::testkit
