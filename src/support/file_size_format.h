#pragma once

#include <string>

#include "platform/number_format.h"

namespace corvane::mFunctions {

// A byte count for people: divided by 1024 while above 1023, shown with two decimals and
// the user's decimal separator, a space and the unit ("1.36 GB"). Halfway hundredths round
// away from zero (1,152 bytes gives 1.13 KB). Beyond yottabytes no unit is named. An
// infinite count raises the overflow error.
std::string FormatFileSize(double size,
                           const platform::NumberFormat& format = platform::SystemNumberFormat());

// A number with at least one digit before the decimal separator and exactly two after it,
// without digit grouping.
std::string FormatFixed(double value, const platform::NumberFormat& format);

}  // namespace corvane::mFunctions
