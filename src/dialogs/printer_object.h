#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// A printer object whose settings are assigned by property name ("Copies", "Orientation",
// "PaperSize", "PrintQuality"). An assignment the object does not support, or rejects,
// throws.
class PrinterObject {
 public:
  virtual ~PrinterObject() = default;
  virtual void SetProperty(const std::string& name, std::int16_t value) = 0;
};

}  // namespace corvane
