#include "dialogs/common_dialog.h"
#include "dialogs/dialog_flags.h"

namespace corvane {
namespace {

using namespace dialog_flags;

constexpr std::int32_t kNoOwner = -1;
constexpr std::int32_t kNoColor = -1;

std::int32_t ColorFlags(const ChooseColorArgs& args) {
  const std::int32_t flags = (args.AnyColor ? kCcAnyColor : kCcSolidColor) | kCcRgbInit |
                             (args.FullOpen ? kCcFullOpen : 0) |
                             (args.DisableFullOpen ? kCcPreventFullOpen : 0) | args.flags;
  return flags & ~(kCcEnableHook | kCcEnableTemplate);
}

bool IsCustomColorIndex(std::int16_t i) { return i >= 0 && i < 16; }

}  // namespace

void cCommonDialog::InitCustomColors() {
  for (std::int32_t index = 0; index < 16; ++index) {
    customColors_[static_cast<std::size_t>(index)] = defaults_.GetSysColor(index);
  }
  customColorsReady_ = true;
}

std::int32_t cCommonDialog::CustomColor(std::int16_t i) {
  if (!customColorsReady_) InitCustomColors();
  return IsCustomColorIndex(i) ? customColors_[static_cast<std::size_t>(i)] : kNoColor;
}

void cCommonDialog::CustomColor(std::int16_t i, std::int32_t iValue) {
  if (!customColorsReady_) InitCustomColors();
  if (IsCustomColorIndex(i)) customColors_[static_cast<std::size_t>(i)] = iValue;
}

// Unlike the other dialogs this one keeps ExtendedError from an earlier call unless it
// fails itself.
bool cCommonDialog::VBChooseColor(ChooseColorArgs& args) {
  if (!customColorsReady_) InitCustomColors();
  platform::ChooseColorRecord record{
      .hwndOwner = args.Owner == kNoOwner ? 0 : args.Owner,
      .rgbResult = args.Color,
      .lpCustColors = &customColors_,
      .Flags = ColorFlags(args),
  };
  const bool confirmed = ClassifyReturn(dialogs_.ChooseColorA(record));
  args.Color = confirmed ? record.rgbResult : kNoColor;
  return confirmed;
}

}  // namespace corvane
