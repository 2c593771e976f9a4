// The box that reports an error no handler trapped, and the one of an error that escaped
// everything: while either is up, no window of the program takes a click.
#include <gtest/gtest.h>

#include <chrono>

#include "app/about_layout.h"
#include "app/main_layout.h"
#include "driver/corvane_process.h"
#include "driver/corvane_session.h"
#include "driver/dialogs.h"
#include "driver/polling.h"
#include "driver/sparse_file.h"
#include "driver/text.h"
#include "driver/windows.h"

namespace e2e {
namespace {

namespace main_id = corvane::app::main_control;
namespace about_id = corvane::app::about_control;

// Side by side in the screen's top-left corner, clear of each other and of a box in the
// middle of the screen, so that a click on either lands on it.
void PlaceSideBySide(HWND main, HWND about) {
  ::SetWindowPos(main, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(about, nullptr, WindowBox(main).width + 10, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST(ErrorBoxTest, WhileTheBoxIsUpNoWindowOfCorvaneTakesAClick) {
  CorvaneSession corvane;
  ASSERT_TRUE(corvane.OpenImage(corvane.Folder().Image("disc.gcm", 1'400'000'000)));
  PostCommand(corvane.Main(), corvane::app::main_menu::kAbout);
  const HWND about = WaitForTopLevel(corvane.Process().Id(), L"frmAbout");
  ASSERT_NE(about, nullptr);
  PlaceSideBySide(corvane.Main(), about);
  // The main window's handler of Open Image fails, and its error is shown in the box.
  const auto hidden = corvane.Folder().Image("hidden.gcm", 1'459'978'241);
  MakeHidden(hidden);
  ASSERT_TRUE(corvane.ChooseImage(hidden));
  const auto box = WaitForMessageBox(corvane.Process().Id());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "File not found\r\n\r\nError 53 (Corvane.File)");

  EXPECT_FALSE(::IsWindowEnabled(corvane.Main()));
  EXPECT_FALSE(::IsWindowEnabled(about));
  // Neither the About window's Okay nor the main window's 3 GB button does anything.
  ClickWithMouse(about, about_id::kCmdOkay);
  ClickWithMouse(corvane.Main(), main_id::kCmd3GB);
  ::Sleep(1000);
  EXPECT_TRUE(::IsWindowVisible(about));
  EXPECT_FALSE(corvane.Folder().ToolWasStarted());
  EXPECT_TRUE(::IsWindowVisible(box->window));

  ASSERT_TRUE(PressOk(box->window));
  // The box has gone first; the windows are enabled again as it returns.
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(corvane.Main()); }));
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(about); }));
  // The same clicks work once the box is closed.
  ClickWithMouse(corvane.Main(), main_id::kCmd3GB);
  EXPECT_EQ(corvane.Folder().ToolCalls(1).size(), 1u);
  ClickWithMouse(about, about_id::kCmdOkay);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
}

// An error that escapes everything while a window and one it owns are up, the owned one
// active: the box disables both, not only the active one.
TEST(ErrorBoxTest, TheBoxOfAnErrorThatEscapesEverythingDisablesEveryWindow) {
  CorvaneProcess program(TERMINATING_PROGRAM_EXE, L"windows");
  const auto box = WaitForMessageBox(program.Id());
  ASSERT_TRUE(box);
  const auto windows = TopLevelWindows(program.Id(), L"TerminatingWindow");
  ASSERT_EQ(windows.size(), 2u);
  for (const HWND window : windows) EXPECT_FALSE(::IsWindowEnabled(window)) << TextOf(window);
  ASSERT_TRUE(PressOk(box->window));
  EXPECT_TRUE(program.WaitForExit(std::chrono::seconds(10)));
}

}  // namespace
}  // namespace e2e
