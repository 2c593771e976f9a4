#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "dialogs/printer_object.h"
#include "support/error.h"

namespace doubles {

// A printer object with a chosen set of properties; assigning any other raises error 438,
// as an object without that property does.
class PropertyPrinter final : public corvane::PrinterObject {
 public:
  explicit PropertyPrinter(std::set<std::string> supported) : supported_(std::move(supported)) {}

  void SetProperty(const std::string& name, std::int16_t value) override {
    if (!supported_.contains(name)) {
      throw corvane::Error(438, "printer", "Object doesn't support this property or method");
    }
    values[name] = value;
  }

  std::map<std::string, std::int16_t> values;

 private:
  std::set<std::string> supported_;
};

}  // namespace doubles
