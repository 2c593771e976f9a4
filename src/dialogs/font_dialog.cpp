#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "dialogs/common_dialog.h"
#include "dialogs/dialog_error.h"
#include "dialogs/dialog_flags.h"
#include "dialogs/dialog_text.h"
#include "dialogs/half_even.h"
#include "support/error.h"

namespace corvane {
namespace {

using namespace dialog_flags;

constexpr std::int32_t kNoneGiven = -1;
constexpr std::int64_t kFixedPointScale = 10000;  // font sizes are held to four decimals
constexpr std::int64_t kTwipsPerPoint = 20;
constexpr std::uint8_t kTrue = 0xFF;

// A point size in ten-thousandths of a point. Raises 6 for a size whose tenths do not fit
// the dialog's 32-bit size field.
std::int64_t FixedPointSize(double points) {
  if (!(std::fabs(points) * 10 <= std::numeric_limits<std::int32_t>::max())) {
    dialog_error::RaiseDialogError(error_number::kOverflow);
  }
  return static_cast<std::int64_t>(std::nearbyint(points * kFixedPointScale));
}

// The face name's ANSI bytes, NUL-padded and cut so that the field keeps a terminating
// NUL: the system reads the name as NUL-terminated text.
std::array<std::uint8_t, platform::kFaceNameBytes> FaceNameField(std::string name) {
  std::vector<std::uint8_t> bytes(platform::kFaceNameBytes - 1);
  dialog_text::TextToByteArray(bytes, name);
  std::array<std::uint8_t, platform::kFaceNameBytes> field{};
  std::copy(bytes.begin(), bytes.end(), field.begin());
  return field;
}

platform::LogFontRecord LogFontOf(const FontObject& font, std::int64_t size,
                                  std::int32_t twipsPerPixel) {
  return platform::LogFontRecord{
      .lfHeight = static_cast<std::int32_t>(
          -RoundHalfEven(size * kTwipsPerPoint, kFixedPointScale * twipsPerPixel)),
      .lfWeight = font.Weight(),
      .lfItalic = font.Italic() ? kTrue : std::uint8_t{0},
      .lfUnderline = font.Underline() ? kTrue : std::uint8_t{0},
      .lfStrikeOut = font.Strikethrough() ? kTrue : std::uint8_t{0},
      .lfFaceName = FaceNameField(font.Name()),
  };
}

void WriteChosenFont(FontObject& font, const platform::ChooseFontRecord& record) {
  const platform::LogFontRecord& chosen = record.logFont;
  font.Bold((record.nFontType & kBoldFontType) != 0);
  font.Italic(chosen.lfItalic != 0);
  font.Strikethrough(chosen.lfStrikeOut != 0);
  font.Underline(chosen.lfUnderline != 0);
  font.Weight(static_cast<std::int16_t>(chosen.lfWeight));
  font.Size(record.iPointSize / 10.0);
  // The field is NUL-padded; the name ends at its first NUL.
  font.Name(dialog_text::TextBeforeNull(dialog_text::ByteArrayToText(chosen.lfFaceName)));
}

}  // namespace

bool cCommonDialog::VBChooseFont(ChooseFontArgs& args) {
  ResetStatus();
  if (args.PrinterDC == kNoneGiven) {
    args.PrinterDC = (args.flags & kCfPrinterFonts) != 0 ? defaults_.DefaultPrinterDC() : 0;
  } else {
    args.flags |= kCfPrinterFonts;
  }
  if ((args.flags & kCfPrinterFonts) == 0) args.flags |= kCfScreenFonts;
  if (args.Color != 0) args.flags |= kCfEffects;
  if (args.MinSize != 0 || args.MaxSize != 0) args.flags |= kCfLimitSize;
  args.flags =
      (args.flags & ~(kCfApply | kCfEnableTemplate | kCfEnableHook)) | kCfInitToLogFontStruct;

  const std::int64_t size = FixedPointSize(args.CurFont.Size());
  platform::ChooseFontRecord record{
      .hwndOwner = args.Owner == kNoneGiven ? 0 : args.Owner,
      .hDC = args.PrinterDC,
      .logFont = LogFontOf(args.CurFont, size, defaults_.ScreenTwipsPerPixelY()),
      .iPointSize = static_cast<std::int32_t>(RoundHalfEven(size * 10, kFixedPointScale)),
      .Flags = args.flags,
      .rgbColors = args.Color,
      .nSizeMin = args.MinSize,
      .nSizeMax = args.MaxSize,
  };
  if (!ClassifyReturn(dialogs_.ChooseFontA(record))) return false;
  args.flags = record.Flags;
  args.Color = record.rgbColors;
  WriteChosenFont(args.CurFont, record);
  return true;
}

}  // namespace corvane
