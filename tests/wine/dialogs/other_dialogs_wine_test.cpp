#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_robot.h"
#include "dialogs/common_dialog.h"
#include "doubles/property_printer.h"
#include "doubles/recording_font.h"

namespace {

using corvane::ChooseColorArgs;
using corvane::ChooseFontArgs;
using corvane::PageSetupDlgArgs;
using corvane::PrintDlgArgs;
using dialogs_testing::ComboEntries;
using dialogs_testing::DialogRobot;
using dialogs_testing::PressButton;
using dialogs_testing::PressCancel;
using dialogs_testing::PressOk;
using dialogs_testing::SelectInCombo;
using dialogs_testing::Type;

// Controls of the colour dialog: the red, green and blue fields and "Add to Custom Colors".
constexpr int kRedField = 706;
constexpr int kGreenField = 707;
constexpr int kBlueField = 708;
constexpr int kAddToCustomColors = 712;
// Controls of the font dialog: the face and size lists.
constexpr int kFaceList = 0x470;
constexpr int kSizeList = 0x472;

constexpr std::int32_t kPdErrNoDefaultPrinter = 0x1008;

// The user mixes red 10, green 20, blue 30, adds it to the custom colours and confirms.
void MixAddAndConfirm(HWND dialog) {
  Type(dialog, kRedField, "10");
  Type(dialog, kGreenField, "20");
  Type(dialog, kBlueField, "30");
  PressButton(dialog, kAddToCustomColors);
  PressOk(dialog);
}

TEST(ColorDialogUnderWine, ConfirmedAndCancelledWithCustomColoursKeptOnTheObject) {
  corvane::cCommonDialog dialog;
  const std::int32_t mixed = RGB(10, 20, 30);
  ChooseColorArgs args{.Color = RGB(255, 0, 0), .FullOpen = true};
  DialogRobot user(MixAddAndConfirm);
  const bool confirmed = dialog.VBChooseColor(args);
  ASSERT_TRUE(user.Finish()) << "no colour dialog appeared";
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(dialog.APIReturn(), 1);
  EXPECT_EQ(args.Color, mixed);
  EXPECT_EQ(dialog.CustomColor(0), mixed);
  EXPECT_EQ(dialog.CustomColor(1), static_cast<std::int32_t>(::GetSysColor(1)));

  ChooseColorArgs cancelled{.Color = RGB(0, 0, 255)};
  DialogRobot nextUser(PressCancel);
  EXPECT_FALSE(dialog.VBChooseColor(cancelled));
  ASSERT_TRUE(nextUser.Finish()) << "no colour dialog appeared";
  EXPECT_EQ(cancelled.Color, -1);
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), 0);
  EXPECT_EQ(dialog.CustomColor(0), mixed);
}

// The user picks a face other than Arial, and 12 points, and confirms; returns the face,
// empty when the dialog listed none.
std::string PickFaceAt12PointsAndConfirm(HWND dialog) {
  const std::vector<std::string> faces = ComboEntries(dialog, kFaceList);
  const auto other = std::find_if(faces.begin(), faces.end(), [](const std::string& entry) {
    return entry != "Arial" && !entry.empty() && entry[0] != '@';
  });
  std::string face;
  if (other != faces.end()) {
    face = *other;
    SelectInCombo(dialog, kFaceList, face);
    SelectInCombo(dialog, kSizeList, "12");
  }
  PressOk(dialog);
  return face;
}

TEST(FontDialogUnderWine, TheChosenFaceAndSizeReachTheFontObject) {
  corvane::cCommonDialog dialog;
  doubles::RecordingFont font;
  font.name = "Arial";
  font.size = 10;
  std::string chosenFace;
  ChooseFontArgs args{.CurFont = font};
  DialogRobot user([&](HWND box) { chosenFace = PickFaceAt12PointsAndConfirm(box); });
  const bool confirmed = dialog.VBChooseFont(args);
  ASSERT_TRUE(user.Finish()) << "no font dialog appeared";
  ASSERT_FALSE(chosenFace.empty()) << "the font dialog listed no face";

  EXPECT_TRUE(confirmed);
  EXPECT_EQ(dialog.APIReturn(), 1);
  EXPECT_EQ(font.name, chosenFace);
  EXPECT_DOUBLE_EQ(font.size, 12);
  EXPECT_EQ(font.assignments.size(), 7u);
  EXPECT_EQ(args.PrinterDC, 0);
  EXPECT_EQ(args.flags & 0x41, 0x41) << std::hex << args.flags;
}

// This machine has no printer. Asked for the default printer's settings without showing
// the dialog, the system fails with its own code; nothing is written back.
TEST(PrintDialogsUnderWine, PrintFailsWithTheSystemsCodeWithoutAPrinter) {
  constexpr std::int32_t kPdReturnDefault = 0x400;
  corvane::cCommonDialog dialog;
  doubles::PropertyPrinter printer({"Copies"});
  PrintDlgArgs args{.hdc = 77, .Copies = 3, .Printer = &printer, .flags = kPdReturnDefault};
  EXPECT_FALSE(dialog.VBPrintDlg(args));

  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), kPdErrNoDefaultPrinter);
  EXPECT_EQ(args.hdc, 77);
  EXPECT_EQ(args.Copies, 3);
  EXPECT_TRUE(printer.values.empty());
}

// Shown without a printer, the dialog lists none; confirming it gives no printer, which
// the system reports as it reports a cancel. The print dialog does not clear the thread's
// extended error of an earlier failed call, so this runs on a thread of its own.
TEST(PrintDialogsUnderWine, PrintDialogWithoutAPrinterConfirmsNothing) {
  corvane::cCommonDialog dialog;
  PrintDlgArgs args{.hdc = 77};
  bool confirmed = true;
  bool sawDialog = false;
  wine_testing::JoiningThread([&] {
    DialogRobot user(PressOk);
    confirmed = dialog.VBPrintDlg(args);
    sawDialog = user.Finish();
  }).Join();
  ASSERT_TRUE(sawDialog) << "no print dialog appeared";
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), 0);
  EXPECT_EQ(args.hdc, 77);
}

TEST(PrintDialogsUnderWine, PageSetupReturnsFalseWithBothStatusesZero) {
  corvane::cCommonDialog dialog;
  PageSetupDlgArgs args{.LeftMargin = 1, .PaperSize = 5};
  DialogRobot user(PressOk);
  EXPECT_FALSE(dialog.VBPageSetupDlg(args));
  user.Finish();

  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), 0);
  EXPECT_EQ(args.LeftMargin, 1);
  EXPECT_EQ(args.PaperSize, 5);
}

// Without a default printer there is no printer device context to offer printer fonts.
TEST(PrintDialogsUnderWine, NoDefaultPrinterContext) {
  EXPECT_EQ(platform::SystemDialogDefaults().DefaultPrinterDC(), 0);
  EXPECT_EQ(platform::SystemDialogDefaults().ScreenTwipsPerPixelY(), 15);
}

}  // namespace
