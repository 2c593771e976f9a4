// Start-up, the check for the rebuild tool in the application folder, and the end of the
// program when an error escapes everything.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/win32/error_box.h"
#include "driver/corvane_process.h"
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

// An error that escapes everything is shown in the untrapped-error box, and closing the box
// ends the program at once: with Corvane's exit code, not through the runtime library's
// abort (exit code 3), which would show a box of its own on Windows. Shown by a program that
// starts through Corvane's own start-up routine: the handler is the one that routine
// installs.
TEST(StartUpTest, AnErrorThatEscapesEverythingIsShownThenTheProgramEnds) {
  const std::pair<std::wstring, std::string> cases[] = {
      {L"error", "File not found\r\n\r\nError 53 (Corvane.File)\r\n\r\nCorvane has to close."},
      {L"exception", "vector::reserve\r\n\r\nCorvane has to close."}};
  for (const auto& [kind, text] : cases) {
    CorvaneProcess program(TERMINATING_PROGRAM_EXE, kind);
    const auto box = WaitForMessageBox(program.Id());
    ASSERT_TRUE(box) << text;
    EXPECT_EQ(box->title, "Error ...");
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(ProbeClient(box->window).MessageBoxIcon(box->window), "error");
    ASSERT_TRUE(PressOk(box->window));
    ASSERT_TRUE(program.WaitForExit(std::chrono::seconds(10))) << "a second box?";
    EXPECT_EQ(program.ExitCode(), corvane::app::win32::kTerminatedExitCode);
  }
}

}  // namespace
}  // namespace e2e
