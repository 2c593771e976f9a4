#include "dialogs/printer_settings.h"

#include <exception>
#include <string>

namespace corvane {
namespace {

void TryAssign(PrinterObject& printer, const std::string& name, std::int16_t value) {
  try {
    printer.SetProperty(name, value);
  } catch (const std::exception&) {
    // A printer that lacks or refuses this setting keeps its own.
  }
}

}  // namespace

void AssignPrinterSettings(PrinterObject* printer, const PrinterSettings& settings) {
  if (printer == nullptr) return;
  TryAssign(*printer, "Copies", settings.Copies);
  TryAssign(*printer, "Orientation", settings.Orientation);
  TryAssign(*printer, "PaperSize", settings.PaperSize);
  TryAssign(*printer, "PrintQuality", settings.PrintQuality);
}

}  // namespace corvane
