#include "dialogs/common_dialog.h"
#include "dialogs/dialog_error.h"
#include "dialogs/dialog_flags.h"
#include "dialogs/half_even.h"
#include "dialogs/printer_settings.h"
#include "support/error.h"

namespace corvane {
namespace {

using namespace dialog_flags;
namespace offset = platform::devmode_offset;

// The record's margin unit: thousandths of an inch for Units 0, otherwise hundredths of a
// millimetre.
struct MarginUnit {
  std::int32_t flag = 0;
  std::int32_t factor = 0;
};

MarginUnit UnitOf(std::int32_t units) {
  if (units == 0) return {kPsdInThousandthsOfInches, 1000};
  return {kPsdInHundredthsOfMillimeters, 100};
}

std::int32_t PageSetupFlags(const PageSetupDlgArgs& args, const MarginUnit& unit) {
  const std::int32_t callerFlags =
      args.flags &
      ~(kPsdEnablePageSetupHook | kPsdEnablePageSetupTemplate | kPsdEnablePagePaintHook);
  return (args.DisableMargins ? kPsdDisableMargins : 0) |
         (args.DisableOrientation ? kPsdDisableOrientation : 0) |
         (args.DisablePaper ? kPsdDisablePaper : 0) |
         (args.DisablePrinter ? kPsdDisablePrinter : 0) | kPsdMargins | kPsdMinMargins |
         callerFlags | unit.flag;
}

// A margin in the record's unit. Raises 6 when it leaves the 32-bit range.
std::int32_t ToRecordUnit(std::int32_t margin, const MarginUnit& unit) {
  std::int32_t product = 0;
  if (__builtin_mul_overflow(margin, unit.factor, &product)) {
    dialog_error::RaiseDialogError(error_number::kOverflow);
  }
  return product;
}

std::int32_t FromRecordUnit(std::int32_t value, const MarginUnit& unit) {
  return static_cast<std::int32_t>(RoundHalfEven(value, unit.factor));
}

platform::MarginRect RecordMargins(std::int32_t top, std::int32_t left, std::int32_t bottom,
                                   std::int32_t right, const MarginUnit& unit) {
  platform::MarginRect rect;
  rect.top = ToRecordUnit(top, unit);
  rect.left = ToRecordUnit(left, unit);
  rect.bottom = ToRecordUnit(bottom, unit);
  rect.right = ToRecordUnit(right, unit);
  return rect;
}

void WriteBackMargins(PageSetupDlgArgs& args, const platform::PageSetupDlgRecord& record,
                      const MarginUnit& unit) {
  args.TopMargin = FromRecordUnit(record.rtMargin.top, unit);
  args.LeftMargin = FromRecordUnit(record.rtMargin.left, unit);
  args.BottomMargin = FromRecordUnit(record.rtMargin.bottom, unit);
  args.RightMargin = FromRecordUnit(record.rtMargin.right, unit);
  args.MinTopMargin = FromRecordUnit(record.rtMinMargin.top, unit);
  args.MinLeftMargin = FromRecordUnit(record.rtMinMargin.left, unit);
  args.MinBottomMargin = FromRecordUnit(record.rtMinMargin.bottom, unit);
  args.MinRightMargin = FromRecordUnit(record.rtMinMargin.right, unit);
}

}  // namespace

// The page-setup dialog reports no extended error: APIReturn and ExtendedError stay 0.
bool cCommonDialog::VBPageSetupDlg(PageSetupDlgArgs& args) {
  ResetStatus();
  const MarginUnit unit = UnitOf(args.Units);
  platform::PageSetupDlgRecord record{.hwndOwner = args.Owner, .Flags = PageSetupFlags(args, unit)};
  record.rtMargin =
      RecordMargins(args.TopMargin, args.LeftMargin, args.BottomMargin, args.RightMargin, unit);
  record.rtMinMargin = RecordMargins(args.MinTopMargin, args.MinLeftMargin, args.MinBottomMargin,
                                     args.MinRightMargin, unit);
  if (dialogs_.PageSetupDlgA(record) == 0) return false;

  WriteBackMargins(args, record, unit);
  DeviceModeBytes chosen{};
  TakeDeviceModeBytes(record.devMode, chosen);
  const PrinterSettings settings{
      .Copies = DeviceModeShort(chosen, offset::kCopies),
      .Orientation = DeviceModeShort(chosen, offset::kOrientation),
      .PaperSize = DeviceModeShort(chosen, offset::kPaperSize),
      .PrintQuality = DeviceModeShort(chosen, offset::kPrintQuality),
  };
  args.PaperSize = settings.PaperSize;
  args.Orientation = settings.Orientation;
  args.PrintQuality = settings.PrintQuality;
  AssignPrinterSettings(args.Printer, settings);
  return true;
}

}  // namespace corvane
