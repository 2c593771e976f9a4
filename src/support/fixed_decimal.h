#pragma once

#include <string>

namespace corvane {

// `value` with exactly `decimals` (0 to 3) digits after the point, rounded to the nearest
// and halfway cases to the even digit, judged on the exact binary value: the text
// printf's "%.*f" gives, without the C library's general-purpose formatter. Infinity and
// NaN read "inf" and "nan", negative values (negative zero too) carry a '-'.
std::string FixedDecimal(double value, int decimals);

}  // namespace corvane
