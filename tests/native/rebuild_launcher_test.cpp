#include "app/rebuild_launcher.h"

#include <gtest/gtest.h>

#include "app/main_form.h"
#include "app/rebuild_command.h"
#include "doubles/main_form_bench.h"

namespace {

using corvane::app::LaunchServices;
using corvane::app::MainForm;
using corvane::app::ProgramState;

constexpr std::uint32_t kErrorIcon = 16;
constexpr std::uint32_t kInformationIcon = 64;

// The main window's rebuild controls over recorded message boxes and process starts: the
// program lies in C:\Tools, the wiped image C:\Games\Disc image.gcm has the short path
// C:\GAMES\DISC~1.GCM.
class RebuildLauncherTest : public testing::Test, protected doubles::MainFormBench {
 protected:
  RebuildLauncherTest() {
    shortPaths.table = {{R"(C:\Games\Disc image.gcm)", R"(C:\GAMES\DISC~1.GCM)"},
                        {R"(C:\Games\good.gcm)", R"(C:\GAMES\GOOD.GCM)"}};
    files.AddWithLength(R"(C:\Games\Disc image.gcm)", 1'400'000'000);
    files.AddWithLength(R"(C:\Games\good.gcm)", 1'459'978'240);
    files.AddWithLength(R"(C:\Games\big.gcm)", 1'459'978'241);
  }

  void OpenImage(const std::string& path) {
    struct Picker final : corvane::app::ImagePicker {
      std::string path;
      std::optional<std::string> PickImage(const std::string&) override { return path; }
    } picker;
    picker.path = path;
    form.mnuOpen_Click(picker);
  }
  void Tick(std::int16_t& box, void (MainForm::*click)(), std::int16_t value) {
    box = value;
    (form.*click)();
  }
  std::string LastCommandLine() const {
    return launches.launches.empty() ? "" : launches.launches.back().commandLine;
  }
};

TEST_F(RebuildLauncherTest, CommandLinesForEachButtonAndOption) {
  OpenImage(R"(C:\Games\Disc image.gcm)");
  const std::string start = R"(C:\Tools\kelvore.exe C:\GAMES\DISC~1.GCM)";

  form.cmd14Gb_Click();
  EXPECT_EQ(LastCommandLine(), start + " f  ");
  form.cmd3GB_Click();
  EXPECT_EQ(LastCommandLine(), start + " g  ");

  Tick(view.chkT, &MainForm::chkT_Click, 1);
  form.cmd14Gb_Click();
  EXPECT_EQ(LastCommandLine(), start + " f t ");

  Tick(view.chkT, &MainForm::chkT_Click, 0);
  Tick(view.chkS, &MainForm::chkS_Click, 1);
  form.cmd14Gb_Click();
  EXPECT_EQ(LastCommandLine(), start + " f  s");

  Tick(view.chkT, &MainForm::chkT_Click, 1);
  form.cmd3GB_Click();
  EXPECT_EQ(LastCommandLine(), start + " g t s");
  EXPECT_EQ(launches.launches.back().application, R"(C:\Tools\kelvore.exe)");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RebuildLauncherTest, LetterIsPresentExactlyWhileItsBoxIsChecked) {
  Tick(view.chkT, &MainForm::chkT_Click, 1);
  EXPECT_EQ(state.AlignFlag, "t");
  Tick(view.chkT, &MainForm::chkT_Click, 0);
  EXPECT_EQ(state.AlignFlag, "");
  Tick(view.chkT, &MainForm::chkT_Click, 1);
  Tick(view.chkT, &MainForm::chkT_Click, 2);
  EXPECT_EQ(state.AlignFlag, "t") << "grayed leaves the letter unchanged";
  Tick(view.chkS, &MainForm::chkS_Click, 1);
  EXPECT_EQ(state.StreamFlag, "s");
  Tick(view.chkS, &MainForm::chkS_Click, 0);
  EXPECT_EQ(state.StreamFlag, "");
}

TEST_F(RebuildLauncherTest, AlignLetterComesBeforeStreamLetterWhicheverWasClickedFirst) {
  OpenImage(R"(C:\Games\Disc image.gcm)");
  Tick(view.chkS, &MainForm::chkS_Click, 1);
  Tick(view.chkT, &MainForm::chkT_Click, 1);
  form.cmd14Gb_Click();
  EXPECT_TRUE(LastCommandLine().ends_with(" f t s"));
}

TEST_F(RebuildLauncherTest, NoImageOpenIsRefusedWithTheErrorIcon) {
  form.cmd14Gb_Click();
  form.cmd3GB_Click();
  ASSERT_EQ(messages.shown.size(), 2u);
  for (const auto& shown : messages.shown) {
    EXPECT_EQ(shown.text, "You must open a GCM image before trying to rebuild.");
    EXPECT_EQ(shown.title, "Error ...");
    EXPECT_EQ(shown.style, kErrorIcon);
  }
  EXPECT_TRUE(launches.launches.empty());
  // Refused before the system is asked anything.
  EXPECT_TRUE(shortPaths.asked.empty());
  EXPECT_EQ(executable.folderQueries, 0);
}

TEST_F(RebuildLauncherTest, GoodAndOversizeImagesAreRefusedWithTheInformationIcon) {
  for (const char* image : {R"(C:\Games\good.gcm)", R"(C:\Games\big.gcm)"}) {
    messages.shown.clear();
    OpenImage(image);
    form.cmd14Gb_Click();
    form.cmd3GB_Click();
    ASSERT_EQ(messages.shown.size(), 2u) << image;
    EXPECT_EQ(messages.shown[0].text,
              "This tool is for rebuilding wiped GCM images.\r\n"
              "You can not rebuild good or oversized images.");
    EXPECT_EQ(messages.shown[0].title, "Error ...");
    EXPECT_EQ(messages.shown[0].style, kInformationIcon);
  }
  EXPECT_TRUE(launches.launches.empty());
  EXPECT_TRUE(shortPaths.asked.empty());
}

TEST_F(RebuildLauncherTest, OpeningAnImageAndTickingTheBoxesNeitherAsksNorStarts) {
  OpenImage(R"(C:\Games\Disc image.gcm)");
  view.writes.clear();
  Tick(view.chkT, &MainForm::chkT_Click, 1);
  Tick(view.chkS, &MainForm::chkS_Click, 1);
  Tick(view.chkS, &MainForm::chkS_Click, 0);
  EXPECT_TRUE(view.writes.empty()) << "no caption changes with a check box";
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(launches.launches.empty());
  EXPECT_TRUE(shortPaths.asked.empty());
}

TEST_F(RebuildLauncherTest, ModeOtherThanTheTwoStartsNothingAndAsksNothing) {
  state.ImagePath = R"(C:\Games\Disc image.gcm)";
  LaunchServices services{executable, shortPaths, launches, messages};
  corvane::mFunctions::LaunchRebuild(2, state, services);
  corvane::mFunctions::LaunchRebuild(-1, state, services);
  EXPECT_EQ(executable.folderQueries, 0);
  EXPECT_TRUE(shortPaths.asked.empty());
  EXPECT_TRUE(launches.launches.empty());
}

TEST_F(RebuildLauncherTest, BlanksInTheToolOrImagePathAreQuoted) {
  doubles::FixedExecutable programFiles{R"(C:\Program Files\Corvane)"};
  shortPaths.table.push_back({R"(D:\My Games\a b.gcm)", R"(D:\My Games\a b.gcm)"});
  state.ImagePath = R"(D:\My Games\a b.gcm)";
  LaunchServices services{programFiles, shortPaths, launches, messages};
  corvane::mFunctions::LaunchRebuild(1, state, services);
  ASSERT_EQ(launches.launches.size(), 1u);
  EXPECT_EQ(launches.launches[0].application, R"(C:\Program Files\Corvane\kelvore.exe)");
  EXPECT_EQ(launches.launches[0].commandLine,
            R"("C:\Program Files\Corvane\kelvore.exe" "D:\My Games\a b.gcm" g  )");
}

TEST_F(RebuildLauncherTest, ImageWithoutShortPathIsNotLaunched) {
  files.AddWithLength(R"(C:\Games\gone.gcm)", 5);
  OpenImage(R"(C:\Games\gone.gcm)");
  form.cmd14Gb_Click();
  EXPECT_TRUE(launches.launches.empty());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("short path of the image could not be determined"),
            std::string::npos);
  EXPECT_NE(messages.shown[0].text.find("not started"), std::string::npos);
  EXPECT_EQ(messages.shown[0].title, "Error ...");
  EXPECT_EQ(messages.shown[0].style, kErrorIcon);
}

TEST_F(RebuildLauncherTest, FailedStartNamesTheToolAndTheReason) {
  OpenImage(R"(C:\Games\Disc image.gcm)");
  launches.failure = "The system cannot find the file specified";
  form.cmd14Gb_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  // The tool's path alone, not the whole command line.
  EXPECT_EQ(messages.shown[0].text,
            "The rebuild tool could not be started:\r\nC:\\Tools\\kelvore.exe\r\n\r\n"
            "The system cannot find the file specified");
  EXPECT_EQ(messages.shown[0].title, "Error ...");
  EXPECT_EQ(messages.shown[0].style, kErrorIcon);
  EXPECT_EQ(form.ImageState(), 0);
}

// Both option letters with pieces that need quotes: only a piece holding a blank or a
// tab is quoted, and the letters follow the mode whatever the quoting.
TEST(RebuildCommandTest, BothLettersAfterQuotedAndUnquotedPieces) {
  using corvane::app::ComposeRebuildCommand;
  const auto quotedTool =
      ComposeRebuildCommand(R"(C:\Program Files\Corvane)", R"(D:\GAMES\DISC~1.GCM)", 0, "t", "s");
  ASSERT_TRUE(quotedTool);
  EXPECT_EQ(quotedTool->toolPath, R"(C:\Program Files\Corvane\kelvore.exe)");
  EXPECT_EQ(quotedTool->commandLine,
            R"("C:\Program Files\Corvane\kelvore.exe" D:\GAMES\DISC~1.GCM f t s)");
  const auto quotedImage = ComposeRebuildCommand(R"(C:\Tools)", "D:\\a\tb.gcm", 1, "t", "s");
  ASSERT_TRUE(quotedImage);
  EXPECT_EQ(quotedImage->commandLine, "C:\\Tools\\kelvore.exe \"D:\\a\tb.gcm\" g t s");
  EXPECT_FALSE(ComposeRebuildCommand(R"(C:\Tools)", "x.gcm", 2, "t", "s"));
  EXPECT_FALSE(ComposeRebuildCommand(R"(C:\Tools)", "x.gcm", -1, "", ""));
}

}  // namespace
