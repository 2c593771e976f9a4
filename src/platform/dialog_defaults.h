#pragma once

#include <cstdint>

namespace platform {

// What the common dialogs take from the rest of the system as starting values.
class DialogDefaults {
 public:
  virtual ~DialogDefaults() = default;
  // user32's GetSysColor: the colour of a display element, as 0x00BBGGRR.
  virtual std::int32_t GetSysColor(std::int32_t index) = 0;
  // Twips (1/1440 inch) per screen pixel, vertically: 15 at 96 dots per inch. At least 1.
  virtual std::int32_t ScreenTwipsPerPixelY() = 0;
  // A device context of the default printer, kept for the life of the process; 0 when
  // there is no default printer.
  virtual std::int32_t DefaultPrinterDC() = 0;
};

DialogDefaults& SystemDialogDefaults();

}  // namespace platform
