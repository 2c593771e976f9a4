#pragma once

#include <cstdint>

#include "dialogs/font_object.h"

namespace corvane {

// The parameters of cCommonDialog::VBChooseColor, in order, with their defaults.
struct ChooseColorArgs {
  std::int32_t Color = 0;  // in/out: the starting colour; the chosen colour, or -1
  bool AnyColor = true;    // false offers solid colours only
  bool FullOpen = false;   // open with the custom-colour part shown
  bool DisableFullOpen = false;
  std::int32_t Owner = -1;  // owner window handle; -1 for none
  std::int32_t flags = 0;   // further CC_* bits
};

// The parameters of cCommonDialog::VBChooseFont, in order, with their defaults.
struct ChooseFontArgs {
  FontObject& CurFont;          // in/out: gives the starting font and receives the chosen one
  std::int32_t PrinterDC = -1;  // in/out: printer device context; -1 for none given
  std::int32_t Owner = -1;      // owner window handle; -1 for none
  std::int32_t Color = 0;       // in/out: text colour; non-zero shows the effects controls
  std::int32_t MinSize = 0;     // smallest point size offered; 0 for no limit
  std::int32_t MaxSize = 0;     // largest point size offered; 0 for no limit
  std::int32_t flags = 0;       // in/out: further CF_* bits; as adjusted, then as returned
};

}  // namespace corvane
