#include "support/file_size_format.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "platform/executable.h"
#include "support/error.h"
#include "support/fixed_decimal.h"

namespace corvane::mFunctions {
namespace {

constexpr std::array<std::string_view, 9> kUnits = {"Bytes", "KB", "MB", "GB", "TB",
                                                    "PB",    "EB", "ZB", "YB"};

std::string_view UnitFor(std::int16_t divisions) {
  return divisions < static_cast<std::int16_t>(kUnits.size()) ? kUnits[divisions] : "";
}

}  // namespace

std::string FormatFixed(double value, const platform::NumberFormat& format) {
  // Round to hundredths away from zero first, so that the printed digits do not depend on
  // how halves are rounded when printing.
  const double rounded = std::round(value * 100.0) / 100.0;
  std::string text = FixedDecimal(rounded == 0.0 ? 0.0 : rounded, 2);
  const auto point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, format.DecimalSeparator());
  return text;
}

std::string FormatFileSize(double size, const platform::NumberFormat& format) {
  std::int16_t divisions = 0;
  while (size > 1023) {
    if (divisions == std::numeric_limits<std::int16_t>::max()) {
      throw Error(error_number::kOverflow, platform::SystemExecutable().Name());
    }
    size /= 1024;
    ++divisions;
  }
  return FormatFixed(size, format) + " " + std::string(UnitFor(divisions));
}

}  // namespace corvane::mFunctions
