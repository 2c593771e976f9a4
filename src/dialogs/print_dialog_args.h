#pragma once

#include <cstdint>

#include "dialogs/printer_object.h"

namespace corvane {

// The parameters of cCommonDialog::VBPrintDlg, in order, with their defaults.
struct PrintDlgArgs {
  std::int32_t hdc = 0;         // out: device context of the chosen printer
  std::int32_t PrintRange = 0;  // in/out: 0 all pages, 1 page range, 2 selection
  bool DisablePageNumbers = false;
  std::int32_t FromPage = 1;  // in/out
  std::int32_t ToPage = -1;   // in/out
  bool DisableSelection = false;
  std::int16_t Copies = 0;  // out: the number of copies chosen
  bool ShowPrintToFile = false;
  bool DisablePrintToFile = true;
  bool PrintToFile = false;  // in/out
  bool Collate = false;      // in/out
  bool PreventWarning = false;
  std::int32_t Owner = 0;            // owner window handle, passed unchanged
  PrinterObject* Printer = nullptr;  // receives the chosen settings, when given
  std::int32_t flags = 0;            // further PD_* bits
};

// The parameters of cCommonDialog::VBPageSetupDlg, in order, with their defaults. Margins
// are in whole units of `Units`: 0 inches, any other value millimetres.
struct PageSetupDlgArgs {
  std::int32_t Owner = 0;  // owner window handle, passed unchanged
  bool DisableMargins = false;
  bool DisableOrientation = false;
  bool DisablePaper = false;
  bool DisablePrinter = false;
  std::int32_t LeftMargin = 0;  // in/out, like every margin
  std::int32_t MinLeftMargin = 0;
  std::int32_t RightMargin = 0;
  std::int32_t MinRightMargin = 0;
  std::int32_t TopMargin = 0;
  std::int32_t MinTopMargin = 0;
  std::int32_t BottomMargin = 0;
  std::int32_t MinBottomMargin = 0;
  std::int32_t PaperSize = 1;      // out: the chosen paper size code
  std::int32_t Orientation = 1;    // out: the chosen orientation code
  std::int32_t PrintQuality = -1;  // out: the chosen print quality code
  std::int32_t Units = 0;
  PrinterObject* Printer = nullptr;  // receives the chosen settings, when given
  std::int32_t flags = 0;            // further PSD_* bits
};

}  // namespace corvane
