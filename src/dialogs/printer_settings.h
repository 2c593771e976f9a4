#pragma once

#include <cstdint>

#include "dialogs/printer_object.h"

namespace corvane {

// The settings the print and page-setup dialogs hand on to a printer object.
struct PrinterSettings {
  std::int16_t Copies = 0;
  std::int16_t Orientation = 0;
  std::int16_t PaperSize = 0;
  std::int16_t PrintQuality = 0;
};

// Assigns the settings to `printer` by property name, in the order Copies, Orientation,
// PaperSize, PrintQuality. An assignment that fails is skipped and the next one is tried;
// nothing is assigned without a printer.
void AssignPrinterSettings(PrinterObject* printer, const PrinterSettings& settings);

}  // namespace corvane
