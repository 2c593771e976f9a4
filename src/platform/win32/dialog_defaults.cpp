#include "platform/dialog_defaults.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <algorithm>

#include "platform/win32/handle_value.h"

namespace platform {
namespace {

constexpr int kTwipsPerInch = 1440;
constexpr std::int32_t kTwipsPerPixelAt96Dpi = 15;

// A device context of the default printer, from the print dialog's silent mode; null
// without a default printer. The settings blocks it allocates are not needed.
HDC CreateDefaultPrinterDC() {
  PRINTDLGA request{};
  request.lStructSize = sizeof(request);
  request.Flags = PD_RETURNDEFAULT | PD_RETURNDC | PD_NOWARNING;
  if (!::PrintDlgA(&request)) return nullptr;
  if (request.hDevMode != nullptr) ::GlobalFree(request.hDevMode);
  if (request.hDevNames != nullptr) ::GlobalFree(request.hDevNames);
  return request.hDC;
}

class Win32DialogDefaults final : public DialogDefaults {
 public:
  std::int32_t GetSysColor(std::int32_t index) override {
    return static_cast<std::int32_t>(::GetSysColor(index));
  }

  std::int32_t ScreenTwipsPerPixelY() override {
    const HDC screen = ::GetDC(nullptr);
    const int dotsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    if (dotsPerInch <= 0) return kTwipsPerPixelAt96Dpi;
    return std::max(1, kTwipsPerInch / dotsPerInch);
  }

  // The printer's device context is created once and kept for the life of the process,
  // as the program's printer object keeps its own.
  std::int32_t DefaultPrinterDC() override {
    if (printer_ == nullptr) printer_ = CreateDefaultPrinterDC();
    return win32::HandleValue(printer_);
  }

 private:
  HDC printer_ = nullptr;
};

}  // namespace

DialogDefaults& SystemDialogDefaults() {
  static Win32DialogDefaults defaults;
  return defaults;
}

}  // namespace platform
