#pragma once

#include <string>

#include "platform/number_format.h"

namespace doubles {

// A user locale with a chosen decimal separator.
class FixedNumberFormat final : public platform::NumberFormat {
 public:
  explicit FixedNumberFormat(std::string separator = ".") : separator_(std::move(separator)) {}
  std::string DecimalSeparator() const override { return separator_; }

 private:
  std::string separator_;
};

}  // namespace doubles
