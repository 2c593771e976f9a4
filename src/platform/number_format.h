#pragma once

#include <string>

namespace platform {

// The user's number formatting settings.
class NumberFormat {
 public:
  virtual ~NumberFormat() = default;
  // The user's decimal separator ("." or "," for most locales).
  virtual std::string DecimalSeparator() const = 0;
};

NumberFormat& SystemNumberFormat();

}  // namespace platform
