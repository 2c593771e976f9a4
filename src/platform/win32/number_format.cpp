#include "platform/number_format.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

class Win32NumberFormat final : public NumberFormat {
 public:
  std::string DecimalSeparator() const override {
    wchar_t separator[8] = {};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0) {
      return ".";
    }
    return win32::Narrow(separator);
  }
};

}  // namespace

NumberFormat& SystemNumberFormat() {
  static Win32NumberFormat format;
  return format;
}

}  // namespace platform
