#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <vector>

#include "dialogs/common_dialog.h"
#include "doubles/property_printer.h"
#include "doubles/recording_font.h"
#include "doubles/scripted_common_dialogs.h"
#include "expect_error.h"

namespace {

using corvane::PageSetupDlgArgs;
using corvane::PrintDlgArgs;
using dialogs_testing::ExpectError;

constexpr std::int32_t kPdErrNoDefaultPrinter = 0x1008;

// A device-mode block as a printer driver returns it (156 bytes), with the settings the
// class reads.
std::vector<std::uint8_t> DeviceModeBlock(std::int16_t orientation, std::int16_t paperSize,
                                          std::int16_t copies, std::int16_t quality,
                                          std::int16_t collate) {
  std::vector<std::uint8_t> block(156, 0);
  const auto put = [&](std::size_t at, std::int16_t value) {
    block[at] = static_cast<std::uint8_t>(value & 0xFF);
    block[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
  };
  put(44, orientation);
  put(46, paperSize);
  put(54, copies);
  put(58, quality);
  put(68, collate);
  block[122] = 0x3C;  // the upper half of dmDisplayFrequency
  return block;
}

class PrintDialog : public testing::Test {
 protected:
  doubles::ScriptedCommonDialogs system;
  corvane::cCommonDialog dialog{system, system};
};

TEST_F(PrintDialog, DefaultsComposeTheRecord) {
  PrintDlgArgs args;
  dialog.VBPrintDlg(args);
  const platform::PrintDlgRecord& sent = system.print.Last();
  EXPECT_EQ(sent.Flags, 0x1C0100);
  EXPECT_EQ(sent.nFromPage, 1);
  EXPECT_EQ(sent.nToPage, 0xFFFF);
  EXPECT_EQ(sent.nMinPage, 1);
  EXPECT_EQ(sent.nMaxPage, 0xFFFF);
  EXPECT_EQ(sent.nCopies, 0);
  EXPECT_EQ(sent.hwndOwner, 0);
}

TEST_F(PrintDialog, OptionsRangesAndCallerFlags) {
  PrintDlgArgs options{.PrintRange = 1,
                       .DisablePageNumbers = true,
                       .DisableSelection = true,
                       .ShowPrintToFile = true,
                       .DisablePrintToFile = false,
                       .PrintToFile = true,
                       .Collate = true,
                       .PreventWarning = true,
                       .Owner = -1,
                       .flags = 0x1000 | 0x2000 | 0x4000 | 0x8000 | 0x200};
  dialog.VBPrintDlg(options);
  EXPECT_EQ(system.print.Last().Flags,
            0x8 | 0x4 | 0x20 | 0x80 | 0x10 | 0x40000 | 0x100 | 0x200 | 0x2);
  EXPECT_EQ(system.print.Last().hwndOwner, -1);  // passed unchanged

  PrintDlgArgs selection{.PrintRange = 2};
  dialog.VBPrintDlg(selection);
  EXPECT_EQ(system.print.Last().Flags, 0x1C0100 | 0x1);
  PrintDlgArgs unknownRange{.PrintRange = 3};
  dialog.VBPrintDlg(unknownRange);
  EXPECT_EQ(system.print.Last().Flags, 0x1C0100);
}

TEST_F(PrintDialog, PageNumbersOutside16BitsRaise6BeforeTheDialog) {
  PrintDlgArgs from{.FromPage = 40000};
  ExpectError([&] { dialog.VBPrintDlg(from); }, 6);
  PrintDlgArgs to{.ToPage = -32769};
  ExpectError([&] { dialog.VBPrintDlg(to); }, 6);
  EXPECT_TRUE(system.print.seen.empty());

  PrintDlgArgs edges{.FromPage = -32768, .ToPage = 32767};
  dialog.VBPrintDlg(edges);
  EXPECT_EQ(system.print.Last().nFromPage, 0x8000);
  EXPECT_EQ(system.print.Last().nToPage, 0x7FFF);
}

TEST_F(PrintDialog, AConfirmedDialogWritesBackAndKeepsTheSettings) {
  system.print.Confirm([](platform::PrintDlgRecord& record) {
    record.hDC = 0x5A5A;
    record.Flags = 0x40100 | 0x2 | 0x20;
    record.nFromPage = 2;
    record.nToPage = 0xFFFF;
    record.devMode = DeviceModeBlock(2, 9, 3, -3, 1);
  });
  doubles::PropertyPrinter printer({"Copies", "Orientation", "PaperSize", "PrintQuality"});
  PrintDlgArgs args{.PrintRange = 0, .Printer = &printer};
  EXPECT_TRUE(dialog.VBPrintDlg(args));

  EXPECT_EQ(args.hdc, 0x5A5A);
  EXPECT_EQ(args.PrintRange, 1);
  EXPECT_EQ(args.FromPage, 2);
  EXPECT_EQ(args.ToPage, -1);
  EXPECT_TRUE(args.PrintToFile);
  EXPECT_EQ(args.Copies, 3);
  EXPECT_TRUE(args.Collate);
  EXPECT_EQ(printer.values,
            (std::map<std::string, std::int16_t>{
                {"Copies", 3}, {"Orientation", 2}, {"PaperSize", 9}, {"PrintQuality", -3}}));

  const corvane::DeviceMode stored = dialog.StoredDevMode();
  EXPECT_EQ(stored.dmPaperSize, 9);
  EXPECT_EQ(stored.dmDisplayFrequency, 0);  // only the first 122 bytes are taken
  EXPECT_EQ(dialog.APIReturn(), 1);
}

TEST_F(PrintDialog, ReturnedRangesComeBackAsZeroOneOrTwo) {
  const struct {
    std::int32_t flags;
    std::int32_t range;
  } cases[] = {{0x0, 0}, {0x1, 2}, {0x2, 1}, {0x3, 1}};
  for (const auto& c : cases) {
    system.print.Confirm([&](platform::PrintDlgRecord& record) { record.Flags = c.flags; });
    PrintDlgArgs args{.PrintRange = 3};
    dialog.VBPrintDlg(args);
    EXPECT_EQ(args.PrintRange, c.range);
    EXPECT_FALSE(args.PrintToFile);
  }
}

TEST_F(PrintDialog, CancelAndFailureWriteNothing) {
  system.print.Confirm(
      [](platform::PrintDlgRecord& record) { record.devMode = DeviceModeBlock(1, 1, 2, 600, 0); });
  PrintDlgArgs first;
  dialog.VBPrintDlg(first);

  // The user changes the settings, then cancels, or the dialog fails: none of it is kept.
  system.print.Cancel();
  system.print.user = [](platform::PrintDlgRecord& record) {
    record.devMode = DeviceModeBlock(2, 9, 5, 300, 1);
  };
  PrintDlgArgs cancelled{.hdc = 7, .PrintRange = 2, .FromPage = 3, .Copies = 4};
  EXPECT_FALSE(dialog.VBPrintDlg(cancelled));
  EXPECT_EQ(dialog.ExtendedError(), 0);

  system.print.Fail(kPdErrNoDefaultPrinter);
  PrintDlgArgs failed = cancelled;
  EXPECT_FALSE(dialog.VBPrintDlg(failed));
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), kPdErrNoDefaultPrinter);

  for (const PrintDlgArgs& args : {cancelled, failed}) {
    EXPECT_EQ(args.hdc, 7);
    EXPECT_EQ(args.PrintRange, 2);
    EXPECT_EQ(args.FromPage, 3);
    EXPECT_EQ(args.Copies, 4);
  }
  EXPECT_EQ(dialog.StoredDevMode().dmPrintQuality, 600);
}

TEST_F(PrintDialog, PrinterAssignmentsThatFailAreSkipped) {
  system.print.Confirm(
      [](platform::PrintDlgRecord& record) { record.devMode = DeviceModeBlock(2, 9, 3, -3, 0); });
  doubles::PropertyPrinter printer({"Copies", "Orientation", "PrintQuality"});
  PrintDlgArgs args{.Printer = &printer};
  EXPECT_TRUE(dialog.VBPrintDlg(args));
  EXPECT_EQ(printer.values, (std::map<std::string, std::int16_t>{
                                {"Copies", 3}, {"Orientation", 2}, {"PrintQuality", -3}}));
  EXPECT_FALSE(args.Collate);

  PrintDlgArgs withoutPrinter;
  EXPECT_TRUE(dialog.VBPrintDlg(withoutPrinter));
}

class PageSetupDialog : public testing::Test {
 protected:
  doubles::ScriptedCommonDialogs system;
  corvane::cCommonDialog dialog{system, system};
};

TEST_F(PageSetupDialog, ComposesItsFlagsInEitherUnit) {
  PageSetupDlgArgs inches;
  dialog.VBPageSetupDlg(inches);
  EXPECT_EQ(system.pageSetup.Last().Flags, 0x7);
  EXPECT_EQ(system.pageSetup.Last().hwndOwner, 0);

  PageSetupDlgArgs millimetres{.Units = 1};
  dialog.VBPageSetupDlg(millimetres);
  EXPECT_EQ(system.pageSetup.Last().Flags, 0xB);

  PageSetupDlgArgs options{.Owner = -1,
                           .DisableMargins = true,
                           .DisableOrientation = true,
                           .DisablePaper = true,
                           .DisablePrinter = true,
                           .Units = -5,
                           .flags = 0x2000 | 0x8000 | 0x40000 | 0x80};
  dialog.VBPageSetupDlg(options);
  EXPECT_EQ(system.pageSetup.Last().Flags, 0x10 | 0x100 | 0x200 | 0x20 | 0x3 | 0x80 | 0x8);
  EXPECT_EQ(system.pageSetup.Last().hwndOwner, -1);
}

TEST_F(PageSetupDialog, MarginsTravelInTheRecordsUnitAndComeBackRounded) {
  system.pageSetup.Confirm([](platform::PageSetupDlgRecord& record) {
    record.rtMargin = {.left = 1500, .top = 2500, .right = 1499, .bottom = 3500};
    record.rtMinMargin = {.left = 250, .top = 0, .right = 500, .bottom = 501};
  });
  PageSetupDlgArgs args{.LeftMargin = 1,
                        .MinLeftMargin = 2,
                        .RightMargin = 3,
                        .MinRightMargin = 4,
                        .TopMargin = 5,
                        .MinTopMargin = 6,
                        .BottomMargin = 7,
                        .MinBottomMargin = 8};
  EXPECT_TRUE(dialog.VBPageSetupDlg(args));

  const platform::PageSetupDlgRecord& sent = system.pageSetup.Last();
  EXPECT_EQ(sent.rtMargin.left, 1000);
  EXPECT_EQ(sent.rtMargin.right, 3000);
  EXPECT_EQ(sent.rtMargin.top, 5000);
  EXPECT_EQ(sent.rtMargin.bottom, 7000);
  EXPECT_EQ(sent.rtMinMargin.left, 2000);
  EXPECT_EQ(sent.rtMinMargin.right, 4000);
  EXPECT_EQ(sent.rtMinMargin.top, 6000);
  EXPECT_EQ(sent.rtMinMargin.bottom, 8000);

  EXPECT_EQ(args.LeftMargin, 2);    // 1.5
  EXPECT_EQ(args.TopMargin, 2);     // 2.5
  EXPECT_EQ(args.RightMargin, 1);   // 1.499
  EXPECT_EQ(args.BottomMargin, 4);  // 3.5
  EXPECT_EQ(args.MinLeftMargin, 0);
  EXPECT_EQ(args.MinTopMargin, 0);
  EXPECT_EQ(args.MinRightMargin, 0);
  EXPECT_EQ(args.MinBottomMargin, 1);

  system.pageSetup.Confirm(
      [](platform::PageSetupDlgRecord& record) { record.rtMargin.left = 2550; });
  PageSetupDlgArgs millimetres{.LeftMargin = 25, .Units = 1};
  dialog.VBPageSetupDlg(millimetres);
  EXPECT_EQ(system.pageSetup.Last().rtMargin.left, 2500);
  EXPECT_EQ(millimetres.LeftMargin, 26);  // 25.5
}

TEST_F(PageSetupDialog, EachMarginComesBackFromItsOwnField) {
  system.pageSetup.Confirm([](platform::PageSetupDlgRecord& record) {
    record.rtMargin = {.left = 1000, .top = 2000, .right = 3000, .bottom = 4000};
    record.rtMinMargin = {.left = 5000, .top = 6000, .right = 7000, .bottom = 8000};
  });
  PageSetupDlgArgs args;
  EXPECT_TRUE(dialog.VBPageSetupDlg(args));
  EXPECT_EQ(args.LeftMargin, 1);
  EXPECT_EQ(args.TopMargin, 2);
  EXPECT_EQ(args.RightMargin, 3);
  EXPECT_EQ(args.BottomMargin, 4);
  EXPECT_EQ(args.MinLeftMargin, 5);
  EXPECT_EQ(args.MinTopMargin, 6);
  EXPECT_EQ(args.MinRightMargin, 7);
  EXPECT_EQ(args.MinBottomMargin, 8);
}

TEST_F(PageSetupDialog, MarginsBeyond32BitsInTheRecordsUnitRaise6BeforeTheDialog) {
  PageSetupDlgArgs inches{.MinBottomMargin = 2147484};
  ExpectError([&] { dialog.VBPageSetupDlg(inches); }, 6);
  PageSetupDlgArgs millimetres{.TopMargin = -21474837, .Units = 1};
  ExpectError([&] { dialog.VBPageSetupDlg(millimetres); }, 6);
  EXPECT_TRUE(system.pageSetup.seen.empty());

  PageSetupDlgArgs largest{.LeftMargin = 2147483, .Units = 0};
  dialog.VBPageSetupDlg(largest);
  EXPECT_EQ(system.pageSetup.Last().rtMargin.left, 2147483000);
}

TEST_F(PageSetupDialog, AConfirmedDialogReportsThePrinterSettingsWithoutKeepingThem) {
  system.pageSetup.Confirm([](platform::PageSetupDlgRecord& record) {
    record.devMode = DeviceModeBlock(2, 9, 5, -4, 1);
  });
  doubles::PropertyPrinter printer({"Copies", "Orientation", "PrintQuality"});
  PageSetupDlgArgs args{.Printer = &printer};
  EXPECT_TRUE(dialog.VBPageSetupDlg(args));
  EXPECT_EQ(args.PaperSize, 9);
  EXPECT_EQ(args.Orientation, 2);
  EXPECT_EQ(args.PrintQuality, -4);
  EXPECT_EQ(printer.values, (std::map<std::string, std::int16_t>{
                                {"Copies", 5}, {"Orientation", 2}, {"PrintQuality", -4}}));
  EXPECT_EQ(dialog.StoredDevMode().dmPaperSize, 0);
}

// Every dialog but the colour dialog (and page setup, which reports none) starts from a
// clear status: a cancel after another dialog's confirmation and failure reports neither.
TEST(DialogStatus, ACancelAfterOtherDialogsReportsNoEarlierStatus) {
  doubles::ScriptedCommonDialogs system;
  corvane::cCommonDialog dialog{system, system};
  doubles::RecordingFont font;
  const std::function<bool()> cancelledDialogs[] = {
      [&] {
        corvane::OpenFileNameArgs args;
        return dialog.VBGetOpenFileName(args);
      },
      [&] {
        corvane::SaveFileNameArgs args;
        return dialog.VBGetSaveFileName(args);
      },
      [&] {
        corvane::ChooseFontArgs args{.CurFont = font};
        return dialog.VBChooseFont(args);
      },
      [&] {
        PrintDlgArgs args;
        return dialog.VBPrintDlg(args);
      },
  };
  for (std::size_t which = 0; which < std::size(cancelledDialogs); ++which) {
    corvane::ChooseColorArgs color;
    system.color.Fail(0x1);
    dialog.VBChooseColor(color);
    system.color.Confirm();
    dialog.VBChooseColor(color);
    ASSERT_EQ(dialog.APIReturn(), 1);
    ASSERT_EQ(dialog.ExtendedError(), 0x1);
    EXPECT_FALSE(cancelledDialogs[which]()) << which;
    EXPECT_EQ(dialog.APIReturn(), 0) << which;
    EXPECT_EQ(dialog.ExtendedError(), 0) << which;
  }
}

TEST_F(PageSetupDialog, StatusStaysZeroWhateverHappens) {
  system.color.Fail(0x1);
  corvane::ChooseColorArgs color{.Color = 0};
  dialog.VBChooseColor(color);  // leaves a failure's extended error behind
  system.color.Confirm();
  dialog.VBChooseColor(color);  // and a confirmation's return value

  system.pageSetup.Fail(kPdErrNoDefaultPrinter);
  PageSetupDlgArgs failed{.LeftMargin = 3, .PaperSize = 7};
  EXPECT_FALSE(dialog.VBPageSetupDlg(failed));
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), 0);
  EXPECT_EQ(failed.PaperSize, 7);
  EXPECT_EQ(failed.LeftMargin, 3);

  system.pageSetup.Cancel();
  PageSetupDlgArgs cancelled;
  EXPECT_FALSE(dialog.VBPageSetupDlg(cancelled));
  EXPECT_EQ(dialog.APIReturn(), 0);

  system.pageSetup.Confirm();
  PageSetupDlgArgs confirmed;
  EXPECT_TRUE(dialog.VBPageSetupDlg(confirmed));
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), 0);
}

}  // namespace
