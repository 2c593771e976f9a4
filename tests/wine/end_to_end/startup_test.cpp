// Start-up: the check for the rebuild tool in the application folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "driver/corvane_session.h"
#include "driver/dialogs.h"
#include "driver/probe_client.h"
#include "driver/windows.h"

namespace e2e {
namespace {

TEST(StartUpTest, WithoutTheToolOnlyTheErrorBoxIsShownAndTheProgramEnds) {
  CorvaneSession corvane(Tool::kNone);
  const auto box = WaitForMessageBox(corvane.Process().Id());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, "Error ...");
  EXPECT_EQ(box->text,
            "kelvore.exe does not appear to exist in the application folder.\r\n\r\n"
            "Exiting Application.");
  EXPECT_EQ(ProbeClient(box->window).MessageBoxIcon(box->window), "error");
  EXPECT_TRUE(TopLevelWindows(corvane.Process().Id(), L"frmMain").empty());
  // One OK button only.
  EXPECT_NE(::GetDlgItem(box->window, IDOK), nullptr);
  EXPECT_EQ(::GetDlgItem(box->window, IDNO), nullptr);
  ASSERT_TRUE(PressOk(box->window));
  EXPECT_TRUE(corvane.Process().WaitForExit());
  EXPECT_EQ(corvane.Process().ExitCode(), 0u);
}

TEST(StartUpTest, AFolderNamedLikeTheToolPassesTheCheck) {
  CorvaneSession corvane(Tool::kFolderNamedLikeTheTool);
  EXPECT_NE(corvane.Main(), nullptr);
  EXPECT_FALSE(WaitForMessageBox(corvane.Process().Id(), std::chrono::milliseconds(500)));
}

TEST(StartUpTest, TheWindowOpensEmptyWithTheToolPresent) {
  CorvaneSession corvane;
  ASSERT_NE(corvane.Main(), nullptr);
  EXPECT_EQ(TextOf(corvane.Main()), "Corvane - [0.1.0]");
  for (int row = 0; row < 3; ++row) EXPECT_EQ(corvane.Info(row), "") << row;
  EXPECT_EQ(corvane.Advice(), "None given at this time.");
  EXPECT_FALSE(corvane.Folder().ToolWasStarted());
  // The close box ends the program.
  ASSERT_TRUE(ClickCloseBox(corvane.Main()));
  EXPECT_TRUE(corvane.Process().WaitForExit());
  EXPECT_EQ(corvane.Process().ExitCode(), 0u);
}

// A DLL that a system library loads by bare name comes from the system folder only, never
// from the program's folder, where anything may have been unpacked beside it.
TEST(StartUpTest, ADllPlantedBesideTheProgramIsNotLoaded) {
  CorvaneSession corvane;
  ASSERT_NE(corvane.Main(), nullptr);
  // Any DLL will do: a copy of the probe, under a name the system folder lacks.
  std::filesystem::copy_file(WINDOW_PROBE_DLL, corvane.Folder().Path() / "planted.dll");
  EXPECT_EQ(ProbeClient(corvane.Main()).DllByName(corvane.Main(), L"planted.dll"), "none");
}

}  // namespace
}  // namespace e2e
