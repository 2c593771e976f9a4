#include <gtest/gtest.h>

#include <string>

#include "dialogs/common_dialog.h"
#include "doubles/recording_font.h"
#include "doubles/scripted_common_dialogs.h"
#include "expect_error.h"

namespace {

using namespace std::string_literals;
using corvane::ChooseColorArgs;
using corvane::ChooseFontArgs;
using dialogs_testing::ExpectError;

constexpr std::int32_t kCdErrStructSize = 0x1;
constexpr std::int32_t kCfErrNoFonts = 0x2002;

class ColorDialog : public testing::Test {
 protected:
  doubles::ScriptedCommonDialogs system;
  corvane::cCommonDialog dialog{system, system};
};

TEST_F(ColorDialog, CustomColorsStartAsTheSystemColours) {
  EXPECT_EQ(dialog.CustomColor(0), system.systemColors[0]);
  EXPECT_EQ(dialog.CustomColor(15), system.systemColors[15]);
  EXPECT_EQ(dialog.CustomColor(16), -1);
  EXPECT_EQ(dialog.CustomColor(-1), -1);
  // Filled once: later changes of the system colours do not show.
  system.systemColors[1] = 0x123456;
  EXPECT_NE(dialog.CustomColor(1), 0x123456);
}

TEST_F(ColorDialog, ACustomColourSetBeforeTheFirstDialogReachesIt) {
  dialog.CustomColor(3, 0x00ABCDEF);
  dialog.CustomColor(16, 0x111111);  // ignored
  dialog.CustomColor(-1, 0x111111);  // ignored
  ChooseColorArgs args{.Color = 0};
  dialog.VBChooseColor(args);

  std::array<std::int32_t, 16> expected = system.systemColors;
  expected[3] = 0x00ABCDEF;
  EXPECT_EQ(system.customColorsSeen.back(), expected);
}

TEST_F(ColorDialog, ComposesItsFlagsAndOwner) {
  ChooseColorArgs defaults{.Color = 0x00FF00};
  dialog.VBChooseColor(defaults);
  EXPECT_EQ(system.color.Last().Flags, 0x101);
  EXPECT_EQ(system.color.Last().hwndOwner, 0);
  EXPECT_EQ(system.color.Last().rgbResult, 0x00FF00);

  ChooseColorArgs options{
      .Color = 0, .AnyColor = false, .FullOpen = true, .DisableFullOpen = true, .Owner = 0x2004};
  dialog.VBChooseColor(options);
  EXPECT_EQ(system.color.Last().Flags, 0x87);
  EXPECT_EQ(system.color.Last().hwndOwner, 0x2004);

  ChooseColorArgs callerFlags{.Color = 0, .flags = 0x38};
  dialog.VBChooseColor(callerFlags);
  EXPECT_EQ(system.color.Last().Flags, 0x101 | 0x8);

  ChooseColorArgs all{.Color = 0, .AnyColor = false, .FullOpen = true, .flags = 0x38};
  dialog.VBChooseColor(all);
  EXPECT_EQ(system.color.Last().Flags, 0x80 | 0x1 | 0x2 | 0x8);
}

TEST_F(ColorDialog, TheUsersCustomColoursPersistOnTheObject) {
  system.color.Confirm([](platform::ChooseColorRecord& record) {
    (*record.lpCustColors)[0] = 0x00112233;
    record.rgbResult = 0x00112233;
  });
  ChooseColorArgs first{.Color = 0};
  EXPECT_TRUE(dialog.VBChooseColor(first));
  EXPECT_EQ(first.Color, 0x00112233);
  EXPECT_EQ(dialog.APIReturn(), 1);
  EXPECT_EQ(dialog.CustomColor(0), 0x00112233);

  system.color.Cancel();
  ChooseColorArgs second{.Color = 0x00445566};
  EXPECT_FALSE(dialog.VBChooseColor(second));
  EXPECT_EQ(second.Color, -1);
  EXPECT_EQ(system.customColorsSeen.back()[0], 0x00112233);
}

TEST_F(ColorDialog, ACancelAfterAFailureKeepsTheFailuresExtendedError) {
  system.color.Fail(kCdErrStructSize);
  ChooseColorArgs failed{.Color = 0x10};
  EXPECT_FALSE(dialog.VBChooseColor(failed));
  EXPECT_EQ(failed.Color, -1);
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), kCdErrStructSize);

  system.color.Cancel();
  ChooseColorArgs cancelled{.Color = 0x10};
  EXPECT_FALSE(dialog.VBChooseColor(cancelled));
  EXPECT_EQ(cancelled.Color, -1);
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), kCdErrStructSize) << "only APIReturn marks the cancel";
}

TEST_F(ColorDialog, AConfirmedDialogKeepsAnEarlierExtendedError) {
  system.color.Fail(kCdErrStructSize);
  ChooseColorArgs args{.Color = 0};
  dialog.VBChooseColor(args);
  system.color.Confirm();
  EXPECT_TRUE(dialog.VBChooseColor(args));
  EXPECT_EQ(dialog.APIReturn(), 1);
  EXPECT_EQ(dialog.ExtendedError(), kCdErrStructSize);
}

class FontDialog : public testing::Test {
 protected:
  doubles::ScriptedCommonDialogs system;
  corvane::cCommonDialog dialog{system, system};
  doubles::RecordingFont font;
};

TEST_F(FontDialog, DefaultsUseScreenFontsAndAdjustTheCallersValuesEvenOnCancel) {
  system.defaultPrinterDC = 0x7777;
  ChooseFontArgs args{.CurFont = font};
  system.font.Cancel();
  EXPECT_FALSE(dialog.VBChooseFont(args));
  EXPECT_EQ(system.font.Last().Flags, 0x41);
  EXPECT_EQ(system.font.Last().hDC, 0);
  EXPECT_EQ(system.font.Last().hwndOwner, 0);
  EXPECT_EQ(args.PrinterDC, 0);
  EXPECT_EQ(args.flags, 0x41);
  EXPECT_TRUE(font.assignments.empty());
}

TEST_F(FontDialog, PrinterFontsUseTheGivenOrTheDefaultPrinter) {
  ChooseFontArgs given{.CurFont = font, .PrinterDC = 5000};
  dialog.VBChooseFont(given);
  EXPECT_EQ(system.font.Last().Flags, 0x2 | 0x40);
  EXPECT_EQ(system.font.Last().hDC, 5000);

  system.defaultPrinterDC = 0x7777;
  ChooseFontArgs asked{.CurFont = font, .flags = 0x2};
  dialog.VBChooseFont(asked);
  EXPECT_EQ(system.font.Last().hDC, 0x7777);
  EXPECT_EQ(asked.PrinterDC, 0x7777);
  EXPECT_EQ(system.font.Last().Flags, 0x2 | 0x40);
}

TEST_F(FontDialog, EffectsLimitsAndCallerFlags) {
  ChooseFontArgs args{.CurFont = font,
                      .Owner = 0x3001,
                      .Color = 0xFF,
                      .MinSize = 8,
                      .flags = 0x200 | 0x10 | 0x8 | 0x4};
  dialog.VBChooseFont(args);
  const platform::ChooseFontRecord& sent = system.font.Last();
  EXPECT_EQ(sent.Flags, 0x1 | 0x4 | 0x40 | 0x100 | 0x2000);
  EXPECT_EQ(sent.rgbColors, 0xFF);
  EXPECT_EQ(sent.nSizeMin, 8);
  EXPECT_EQ(sent.nSizeMax, 0);
  EXPECT_EQ(sent.hwndOwner, 0x3001);

  ChooseFontArgs maxOnly{.CurFont = font, .MaxSize = 72};
  dialog.VBChooseFont(maxOnly);
  EXPECT_EQ(system.font.Last().Flags, 0x1 | 0x40 | 0x2000);

  // A printer, effects and both limits at once: printer fonts only, every option bit.
  ChooseFontArgs all{.CurFont = font,
                     .PrinterDC = 5000,
                     .Color = 0xFF,
                     .MinSize = 8,
                     .MaxSize = 72,
                     .flags = 0x200 | 0x10 | 0x8};
  dialog.VBChooseFont(all);
  EXPECT_EQ(system.font.Last().Flags, 0x2 | 0x40 | 0x100 | 0x2000);
  EXPECT_EQ(all.flags, 0x2 | 0x40 | 0x100 | 0x2000);
}

TEST_F(FontDialog, DescribesTheStartingFont) {
  font.size = 8.25;
  font.italic = true;
  font.strikethrough = true;
  font.weight = 700;
  ChooseFontArgs args{.CurFont = font};
  dialog.VBChooseFont(args);
  const platform::ChooseFontRecord& sent = system.font.Last();
  EXPECT_EQ(sent.iPointSize, 82);         // 82.5, halves to even
  EXPECT_EQ(sent.logFont.lfHeight, -11);  // 8.25 * 20 / 15 = 11
  EXPECT_EQ(sent.logFont.lfWeight, 700);
  EXPECT_EQ(sent.logFont.lfItalic, 0xFF);
  EXPECT_EQ(sent.logFont.lfUnderline, 0);
  EXPECT_EQ(sent.logFont.lfStrikeOut, 0xFF);
  std::array<std::uint8_t, 32> face{'A', 'r', 'i', 'a', 'l'};
  EXPECT_EQ(sent.logFont.lfFaceName, face);
}

TEST_F(FontDialog, SizesRoundHalvesToEven) {
  const struct {
    double points;
    std::int32_t twipsPerPixel;
    std::int32_t pointSize;
    std::int32_t height;
  } cases[] = {
      {10, 15, 100, -13},   // 13.33
      {8.25, 15, 82, -11},  // 82.5
      {8.35, 15, 84, -11},  // 83.5 (8.35 is not exact in binary)
      {9, 15, 90, -12},     // 12
      {9.75, 15, 98, -13},  // 97.5, 13
      {12, 12, 120, -20},   // 120 dots per inch
      {0.15, 20, 2, 0},     // 1.5, 0.15
  };
  for (const auto& c : cases) {
    font.size = c.points;
    system.twipsPerPixel = c.twipsPerPixel;
    ChooseFontArgs args{.CurFont = font};
    dialog.VBChooseFont(args);
    EXPECT_EQ(system.font.Last().iPointSize, c.pointSize) << c.points;
    EXPECT_EQ(system.font.Last().logFont.lfHeight, c.height) << c.points;
  }
}

TEST_F(FontDialog, SizesBeyondTheSizeFieldRaise6BeforeTheDialog) {
  font.size = 3e8;
  ChooseFontArgs args{.CurFont = font};
  ExpectError([&] { dialog.VBChooseFont(args); }, 6);
  font.size = 214748364.8;  // tenths one past the field
  ExpectError([&] { dialog.VBChooseFont(args); }, 6);
  EXPECT_TRUE(system.font.seen.empty());

  font.size = 214748364.7;  // tenths exactly the field's largest value
  dialog.VBChooseFont(args);
  EXPECT_EQ(system.font.Last().iPointSize, 2147483647);
}

TEST_F(FontDialog, FaceNamesKeepATerminatingNul) {
  font.name = std::string(40, 'N');
  ChooseFontArgs args{.CurFont = font};
  dialog.VBChooseFont(args);
  const auto& face = system.font.Last().logFont.lfFaceName;
  EXPECT_EQ(std::string(face.begin(), face.begin() + 31), std::string(31, 'N'));
  EXPECT_EQ(face[31], 0);
  EXPECT_EQ(font.name, std::string(40, 'N'));  // the font's own name is untouched
}

TEST_F(FontDialog, WritesTheChosenFontInOrder) {
  system.font.Confirm([](platform::ChooseFontRecord& record) {
    record.Flags = 0x141;
    record.rgbColors = 0x0000FF;
    record.nFontType = 0x100 | 0x2000;
    record.iPointSize = 145;
    record.logFont.lfWeight = 700;
    record.logFont.lfItalic = 1;
    record.logFont.lfUnderline = 1;
    record.logFont.lfStrikeOut = 0;
    record.logFont.lfFaceName = {'T', 'a', 'h', 'o', 'm', 'a'};
  });
  font.strikethrough = true;
  ChooseFontArgs args{.CurFont = font, .Color = 0x10};
  EXPECT_TRUE(dialog.VBChooseFont(args));
  EXPECT_EQ(args.flags, 0x141);
  EXPECT_EQ(args.Color, 0x0000FF);
  EXPECT_EQ(font.assignments, (std::vector<std::string>{"Bold", "Italic", "Strikethrough",
                                                        "Underline", "Weight", "Size", "Name"}));
  EXPECT_TRUE(font.bold);
  EXPECT_TRUE(font.italic);
  EXPECT_TRUE(font.underline);
  EXPECT_FALSE(font.strikethrough);
  EXPECT_EQ(font.weight, 700);
  EXPECT_DOUBLE_EQ(font.size, 14.5);
  EXPECT_EQ(font.name, "Tahoma");
  EXPECT_EQ(dialog.APIReturn(), 1);
}

TEST_F(FontDialog, AFontThatRefusesAPropertyStopsTheWriteBack) {
  system.font.Confirm();
  font.refused = "Weight";
  ChooseFontArgs args{.CurFont = font};
  ExpectError([&] { dialog.VBChooseFont(args); }, 380);
  EXPECT_EQ(font.assignments,
            (std::vector<std::string>{"Bold", "Italic", "Strikethrough", "Underline"}));
}

TEST_F(FontDialog, AFailureIsReportedAndWritesNothingMore) {
  system.font.Fail(kCfErrNoFonts);
  ChooseFontArgs args{.CurFont = font, .Color = 0x10};
  EXPECT_FALSE(dialog.VBChooseFont(args));
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), kCfErrNoFonts);
  EXPECT_EQ(args.Color, 0x10);
  EXPECT_EQ(args.flags, 0x141);
  EXPECT_TRUE(font.assignments.empty());
}

}  // namespace
