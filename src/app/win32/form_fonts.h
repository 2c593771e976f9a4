#pragma once

#include <windows.h>

#include "app/form_layout.h"
#include "platform/win32/unique_handle.h"

namespace corvane::app::win32 {

// A window's fonts at one DPI: its own font and the bold and italic variants.
class FormFonts {
 public:
  explicit FormFonts(int dpi);

  HFONT For(FontRole role) const;

 private:
  platform::win32::UniqueFont form_;
  platform::win32::UniqueFont bold_;
  platform::win32::UniqueFont italic_;
};

}  // namespace corvane::app::win32
