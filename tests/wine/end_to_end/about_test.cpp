// The About window: its layout and texts, and how it opens and closes.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/about_layout.h"
#include "app/main_layout.h"
#include "driver/corvane_session.h"
#include "driver/probe_client.h"
#include "driver/screen.h"
#include "driver/text.h"
#include "driver/windows.h"

namespace e2e {
namespace {

namespace id = corvane::app::about_control;

const std::vector<std::pair<int, std::string>> kTexts = {
    {id::kLabel1, "This is version 0.1.0"},
    {id::kLabel4, "Using kelvore.exe v1.4b Tarnwell by Oskeln/Varnhold!"},
    {id::kLabel2, "1: It does not detect if/when a rebuild is done."},
    {id::kLabel3, "2. It may not work for you."},
    {id::kLabel5, "3. It works better than Pellwin's."},
    {id::kLabel6, "4. It may just aswell be full of shitty bugs."},
    {id::kLabel7, "5. It probably doesn't suit your needs."},
    {id::kLabel8, "6. This is probably getting annoying."},
    {id::kLabel9, "7. It was written in 30 minutes, including tweaks/fixes."},
    {id::kLabel10, "8. This won't get updated till kelvore gets updated."},
    {id::kCmdOkay, "Okay !"},
};

class AboutTest : public testing::Test {
 protected:
  HWND OpenAbout() {
    PostCommand(corvane.Main(), corvane::app::main_menu::kAbout);
    return WaitForTopLevel(corvane.Process().Id(), L"frmAbout");
  }
  std::vector<HWND> AboutWindows() { return TopLevelWindows(corvane.Process().Id(), L"frmAbout"); }
  void ExpectTexts(HWND about) {
    EXPECT_EQ(TextOf(about), " About");
    for (const auto& [control, text] : kTexts) EXPECT_EQ(TextOf(about, control), text);
  }

  CorvaneSession corvane;
};

TEST_F(AboutTest, ASmallToolWindowOverTheMainWindow) {
  // Wherever the main window stands, the About window opens centred over it.
  ::SetWindowPos(corvane.Main(), nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  const HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  ExpectTexts(about);
  const LONG style = StyleOf(about);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_NE(ExStyleOf(about) & WS_EX_TOOLWINDOW, 0);
  // Owned, it has no taskbar button and stays in front of the main window.
  EXPECT_EQ(::GetWindow(about, GW_OWNER), corvane.Main());
  EXPECT_EQ(ExStyleOf(about) & WS_EX_APPWINDOW, 0);
  EXPECT_EQ(ProbeClient(about).WindowIcons(about), "big none, small none");
  const Box window = WindowBox(about);
  const Box owner = WindowBox(corvane.Main());
  EXPECT_NEAR(window.left + window.width / 2.0, owner.left + owner.width / 2.0, 1.0);
  EXPECT_NEAR(window.top + window.height / 2.0, owner.top + owner.height / 2.0, 1.0);

  EXPECT_EQ(ClientSize(about), (Box{0, 0, 323, 232}));
  EXPECT_EQ(ChildBox(about, id::kLabel1), (Box{8, 8, 209, 17}));
  EXPECT_EQ(ChildBox(about, id::kLabel4), (Box{8, 24, 441, 17}));
  EXPECT_EQ(ChildBox(about, id::kLabel2), (Box{8, 56, 305, 17}));
  EXPECT_EQ(ChildBox(about, id::kLabel10), (Box{8, 168, 305, 17}));
  EXPECT_EQ(ChildBox(about, id::kCmdOkay), (Box{224, 200, 89, 25}));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(about) == ::GetDlgItem(about, id::kCmdOkay); }));
  ProbeClient probe(about);
  for (const auto& [control, text] : kTexts) {
    const LOGFONTW font = probe.FontOf(::GetDlgItem(about, control));
    EXPECT_EQ(Utf8(font.lfFaceName), "Arial") << text;
    EXPECT_EQ(font.lfHeight, -11) << text;
    EXPECT_EQ(font.lfWeight, 400) << text;
    EXPECT_EQ(font.lfItalic, 0) << text;
  }
  // Line1 across under the header lines, Line2 above the button.
  EXPECT_EQ(DarkPixels(about, {8, 48, 304, 1}), 304);
  EXPECT_EQ(DarkPixels(about, {224, 192, 88, 1}), 88);
  EXPECT_EQ(DarkPixels(about, {8, 47, 304, 1}), 0);
}

TEST_F(AboutTest, ChosenAgainItOnlyComesToTheFront) {
  const HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  // Once it is active: activated late, it would take the front back from the main window.
  ASSERT_TRUE(WaitUntil([&] { return ActiveOf(corvane.Main()) == about; }));
  ::SetForegroundWindow(corvane.Main());
  ASSERT_TRUE(WaitUntil([&] { return ActiveOf(corvane.Main()) == corvane.Main(); }));
  PostCommand(corvane.Main(), corvane::app::main_menu::kAbout);
  EXPECT_TRUE(WaitUntil([&] { return ActiveOf(corvane.Main()) == about; }));
  ::Sleep(300);
  EXPECT_EQ(AboutWindows(), std::vector<HWND>{about});
}

TEST_F(AboutTest, OkayClosesOnlyTheAboutWindowAndItOpensAgainTheSame) {
  ASSERT_TRUE(corvane.OpenImage(corvane.Folder().Image("disc.gcm", 1'400'000'000)));
  HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  PostClick(about, id::kCmdOkay);
  EXPECT_TRUE(WaitUntil([&] { return AboutWindows().empty(); }));
  EXPECT_TRUE(::IsWindowVisible(corvane.Main()));
  EXPECT_EQ(corvane.Info(0), "disc.gcm");
  EXPECT_EQ(corvane.Info(2), "Wiped Image");
  about = OpenAbout();
  ASSERT_NE(about, nullptr);
  ExpectTexts(about);
  // The close box closes it the same way.
  ASSERT_TRUE(ClickCloseBox(about));
  EXPECT_TRUE(WaitUntil([&] { return AboutWindows().empty(); }));
  EXPECT_TRUE(::IsWindowVisible(corvane.Main()));
  EXPECT_EQ(corvane.Info(0), "disc.gcm");
}

TEST_F(AboutTest, EnterPressesTheFocusedOkayAndEscapeDoesNothing) {
  const HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  const HWND okay = ::GetDlgItem(about, id::kCmdOkay);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(about) == okay; }));
  // Neither the default nor the cancel button: no default frame, and Escape leaves it open.
  EXPECT_EQ(StyleOf(okay) & BS_TYPEMASK, BS_PUSHBUTTON);
  const DWORD thread = ::GetWindowThreadProcessId(about, nullptr);
  PostKey(thread, VK_ESCAPE);
  EXPECT_FALSE(WaitUntil([&] { return AboutWindows().empty(); }, std::chrono::milliseconds(1000)));
  PostKey(thread, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return AboutWindows().empty(); }));
  EXPECT_TRUE(::IsWindowVisible(corvane.Main()));
}

TEST_F(AboutTest, ExitWithTheAboutWindowOpenEndsTheProgram) {
  ASSERT_NE(OpenAbout(), nullptr);
  PostCommand(corvane.Main(), corvane::app::main_menu::kExit);
  EXPECT_TRUE(corvane.Process().WaitForExit());
  EXPECT_EQ(corvane.Process().ExitCode(), 0u);
}

}  // namespace
}  // namespace e2e
