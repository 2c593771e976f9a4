#pragma once

#include <cstdint>
#include <string>

namespace corvane::app {

// The rows of the main window's image frame, by index of its label arrays.
enum class InfoRow { kTitle = 0, kSize = 1, kStatus = 2 };

// The option check boxes of the main window.
enum class OptionBox { kStream, kAlign };  // chkS, chkT

// A check box's value.
namespace check_value {
inline constexpr std::int16_t kUnchecked = 0;
inline constexpr std::int16_t kChecked = 1;
inline constexpr std::int16_t kGrayed = 2;
}  // namespace check_value

// What the main window's logic reads and writes of the window itself. The real window
// implements it with its controls; tests implement it with plain fields.
class MainView {
 public:
  virtual ~MainView() = default;
  // Sets the caption of the value label I_Info(row).
  virtual void SetInfoValue(InfoRow row, const std::string& caption) = 0;
  // Sets the caption of the advice label L_Advice.
  virtual void SetAdvice(const std::string& caption) = 0;
  // The value of check box chkS or chkT.
  virtual std::int16_t OptionValue(OptionBox box) const = 0;
};

}  // namespace corvane::app
