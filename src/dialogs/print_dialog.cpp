#include "dialogs/common_dialog.h"
#include "dialogs/dialog_error.h"
#include "dialogs/dialog_flags.h"
#include "dialogs/printer_settings.h"
#include "support/checked_int.h"

namespace corvane {
namespace {

using namespace dialog_flags;
namespace offset = platform::devmode_offset;

constexpr std::int32_t kPageRange = 1;
constexpr std::int32_t kSelection = 2;
constexpr std::int32_t kAllPages = 0;
constexpr std::int32_t kHooksAndTemplates =
    kPdEnablePrintHook | kPdEnableSetupHook | kPdEnablePrintTemplate | kPdEnableSetupTemplate;

std::int32_t PrintFlags(const PrintDlgArgs& args) {
  std::int32_t flags =
      (args.DisablePageNumbers ? kPdNoPageNums : 0) |
      (args.DisablePrintToFile ? kPdDisablePrintToFile : 0) |
      (args.DisableSelection ? kPdNoSelection : 0) | (args.PrintToFile ? kPdPrintToFile : 0) |
      (args.ShowPrintToFile ? 0 : kPdHidePrintToFile) | (args.PreventWarning ? kPdNoWarning : 0) |
      (args.Collate ? kPdCollate : 0) | kPdUseDevModeCopiesAndCollate | kPdReturnDc | args.flags;
  if (args.PrintRange == kPageRange) flags |= kPdPageNums;
  if (args.PrintRange == kSelection) flags |= kPdSelection;
  return flags & ~kHooksAndTemplates;
}

// A page number in the record's 16-bit field: -1 is stored as 0xFFFF. Raises 6 outside
// -32,768 to 32,767.
std::uint16_t PageField(std::int32_t page) {
  return static_cast<std::uint16_t>(CheckedNarrow16(page, dialog_error::VBErrorSource()));
}

std::int32_t ChosenRange(std::int32_t flags) {
  if ((flags & kPdPageNums) != 0) return kPageRange;
  if ((flags & kPdSelection) != 0) return kSelection;
  return kAllPages;
}

}  // namespace

bool cCommonDialog::VBPrintDlg(PrintDlgArgs& args) {
  ResetStatus();
  platform::PrintDlgRecord record{
      .hwndOwner = args.Owner,
      .Flags = PrintFlags(args),
      .nFromPage = PageField(args.FromPage),
      .nToPage = PageField(args.ToPage),
      .nMinPage = 1,
      .nMaxPage = 0xFFFF,
  };
  if (!ClassifyReturn(dialogs_.PrintDlgA(record))) return false;

  args.hdc = record.hDC;
  args.PrintRange = ChosenRange(record.Flags);
  args.FromPage = static_cast<std::int16_t>(record.nFromPage);
  args.ToPage = static_cast<std::int16_t>(record.nToPage);
  args.PrintToFile = (record.Flags & kPdPrintToFile) != 0;
  TakeDeviceModeBytes(record.devMode, storedDevMode_);
  args.Copies = DeviceModeShort(storedDevMode_, offset::kCopies);
  args.Collate = DeviceModeShort(storedDevMode_, offset::kCollate) == 1;
  AssignPrinterSettings(args.Printer,
                        PrinterSettings{
                            .Copies = args.Copies,
                            .Orientation = DeviceModeShort(storedDevMode_, offset::kOrientation),
                            .PaperSize = DeviceModeShort(storedDevMode_, offset::kPaperSize),
                            .PrintQuality = DeviceModeShort(storedDevMode_, offset::kPrintQuality),
                        });
  return true;
}

}  // namespace corvane
