#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/main_view.h"

namespace doubles {

// The main window as plain fields, with the order in which captions were written.
class RecordingMainView final : public corvane::app::MainView {
 public:
  void SetInfoValue(corvane::app::InfoRow row, const std::string& caption) override {
    info[static_cast<size_t>(row)] = caption;
    writes.push_back("I_Info(" + std::to_string(static_cast<int>(row)) + ")");
  }
  void SetAdvice(const std::string& caption) override {
    advice = caption;
    writes.push_back("L_Advice");
  }
  std::int16_t OptionValue(corvane::app::OptionBox box) const override {
    return box == corvane::app::OptionBox::kStream ? chkS : chkT;
  }

  std::array<std::string, 3> info{};
  std::string advice = "None given at this time.";
  std::int16_t chkS = 0;
  std::int16_t chkT = 0;
  std::vector<std::string> writes;
};

}  // namespace doubles
