#include "platform/number_format.h"

#include <langinfo.h>
#include <locale.h>

namespace platform {
namespace {

class PosixNumberFormat final : public NumberFormat {
 public:
  std::string DecimalSeparator() const override {
    const locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (user == static_cast<locale_t>(0)) return ".";
    std::string separator = ::nl_langinfo_l(RADIXCHAR, user);
    ::freelocale(user);
    return separator.empty() ? "." : separator;
  }
};

}  // namespace

NumberFormat& SystemNumberFormat() {
  static PosixNumberFormat format;
  return format;
}

}  // namespace platform
