// The main window's layout at 96 DPI, its fonts, keyboard order, menus and properties.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/main_layout.h"
#include "driver/corvane_session.h"
#include "driver/dialogs.h"
#include "driver/probe_client.h"
#include "driver/text.h"
#include "driver/windows.h"

namespace e2e {
namespace {

namespace id = corvane::app::main_control;

struct ExpectedControl {
  int id;
  const char* className;
  const char* caption;
  Box box;
  int weight;
  bool italic;
};

// Each control's twips in the main window's layout table, 15 to the pixel at 96 DPI; a control
// in a frame placed by the frame.
const std::vector<ExpectedControl> kControls = {
    {id::kFrame1, "Button", "[ GCM Info ]", {8, 8, 297, 69}, 700, false},
    {id::kInfoLabel0, "Static", "Image Title:", {16, 24, 185, 17}, 400, false},
    {id::kInfo0, "Static", "", {88, 24, 209, 17}, 400, false},
    {id::kInfoLabel1, "Static", "Image Size:", {16, 40, 185, 17}, 400, false},
    {id::kInfo1, "Static", "", {88, 40, 209, 17}, 400, false},
    {id::kInfoLabel2, "Static", "Image Status:", {16, 56, 185, 17}, 400, false},
    {id::kInfo2, "Static", "", {88, 56, 209, 17}, 400, false},
    {id::kFrame2, "Button", "[ Advice ]", {8, 80, 297, 41}, 700, false},
    {id::kAdvice, "Static", "None given at this time.", {16, 98, 281, 17}, 400, true},
    {id::kFrame3, "Button", "[ Options ]", {8, 123, 297, 92}, 700, false},
    {id::kChkT,
     "Button",
     "[ T ] Tweak Align Method (Force all files on 32k.)",
     {16, 139, 281, 17},
     400,
     false},
    {id::kChkS,
     "Button",
     "[ S ] Auto Detection and Fix Streaming Files (Beta!)",
     {16, 155, 281, 17},
     400,
     false},
    {id::kCmd14Gb, "Button", "1.4 GB Image", {16, 179, 137, 25}, 400, false},
    {id::kCmd3GB, "Button", "3 GB Image", {160, 179, 137, 25}, 400, false},
};

class LayoutTest : public testing::Test {
 protected:
  HWND Control(int controlId) const { return ::GetDlgItem(corvane.Main(), controlId); }
  void WaitForFocus(int controlId) {
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(corvane.Main()) == Control(controlId); }))
        << "focus on " << controlId;
  }

  CorvaneSession corvane;
};

TEST_F(LayoutTest, ClientAreaAndEveryControlInPixels) {
  ASSERT_NE(corvane.Main(), nullptr);
  EXPECT_EQ(ClientSize(corvane.Main()), (Box{0, 0, 312, 222}));
  for (const ExpectedControl& expected : kControls) {
    const HWND control = Control(expected.id);
    ASSERT_NE(control, nullptr) << expected.caption;
    EXPECT_EQ(ClassOf(control), expected.className) << expected.caption;
    EXPECT_EQ(TextOf(control), expected.caption);
    const Box box = ChildBox(corvane.Main(), expected.id);
    EXPECT_EQ(box, expected.box) << expected.caption << " is at " << ToString(box);
    EXPECT_TRUE(::IsWindowVisible(control) && ::IsWindowEnabled(control)) << expected.caption;
  }
  EXPECT_EQ(CheckState(corvane.Main(), id::kChkT), BST_UNCHECKED);
  EXPECT_EQ(CheckState(corvane.Main(), id::kChkS), BST_UNCHECKED);
}

TEST_F(LayoutTest, FontsOfTheControls) {
  ProbeClient probe(corvane.Main());
  for (const ExpectedControl& expected : kControls) {
    const LOGFONTW font = probe.FontOf(Control(expected.id));
    EXPECT_EQ(Utf8(font.lfFaceName), "Arial") << expected.caption;
    EXPECT_EQ(font.lfHeight, -11) << expected.caption;  // 8.25 point at 96 DPI
    EXPECT_EQ(font.lfWeight, expected.weight) << expected.caption;
    EXPECT_EQ(font.lfItalic != 0, expected.italic) << expected.caption;
    EXPECT_EQ(font.lfCharSet, ANSI_CHARSET) << expected.caption;
  }
}

TEST_F(LayoutTest, MenusAndTooltip) {
  ProbeClient probe(corvane.Main());
  EXPECT_EQ(probe.MenuOf(corvane.Main()), "File{Open Image|-|E&xit}|Help{&About}");
  EXPECT_EQ(probe.TooltipOf(corvane.Main(), Control(id::kCmd3GB)),
            "This may solve Reading Disk Error!");
  EXPECT_EQ(probe.TooltipOf(corvane.Main(), Control(id::kCmd14Gb)), "");
}

TEST_F(LayoutTest, TheFocusStartsOnTheFirstButtonAndTabsInOrder) {
  WaitForFocus(id::kCmd14Gb);
  std::vector<int> tabStops;
  for (HWND child = ::GetWindow(corvane.Main(), GW_CHILD); child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (StyleOf(child) & WS_TABSTOP) tabStops.push_back(::GetDlgCtrlID(child));
  }
  EXPECT_EQ(tabStops, (std::vector<int>{id::kCmd14Gb, id::kCmd3GB, id::kChkT, id::kChkS}));
  const DWORD thread = ::GetWindowThreadProcessId(corvane.Main(), nullptr);
  for (const int next : {id::kCmd3GB, id::kChkT, id::kChkS, id::kCmd14Gb}) {
    PostKey(thread, VK_TAB);
    WaitForFocus(next);
  }
}

TEST_F(LayoutTest, TheArrowKeysMoveTheFocusOnlyAmongButtonsAndCheckBoxes) {
  WaitForFocus(id::kCmd14Gb);
  const DWORD thread = ::GetWindowThreadProcessId(corvane.Main(), nullptr);
  const std::vector<HWND> focusable = {Control(id::kCmd14Gb), Control(id::kCmd3GB),
                                       Control(id::kChkT), Control(id::kChkS)};
  HWND previous = Control(id::kCmd14Gb);
  for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_UP, VK_RIGHT}) {
    PostKey(thread, key);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(corvane.Main()) != previous; }))
        << "key " << key << " left the focus on " << ::GetDlgCtrlID(previous);
    previous = FocusOf(corvane.Main());
    EXPECT_NE(std::find(focusable.begin(), focusable.end(), previous), focusable.end())
        << "the focus went to control " << ::GetDlgCtrlID(previous);
  }
}

TEST_F(LayoutTest, EnterAndEscapePressNoButtonOfTheirOwnAccord) {
  const DWORD thread = ::GetWindowThreadProcessId(corvane.Main(), nullptr);
  WaitForFocus(id::kCmd14Gb);
  PostKey(thread, VK_TAB);
  PostKey(thread, VK_TAB);
  WaitForFocus(id::kChkT);
  PostKey(thread, VK_RETURN);
  PostKey(thread, VK_ESCAPE);
  EXPECT_FALSE(WaitForMessageBox(corvane.Process().Id(), std::chrono::milliseconds(1000)));
  EXPECT_EQ(CheckState(corvane.Main(), id::kChkT), BST_UNCHECKED);
  // Enter on a focused button presses that button, as in any dialog.
  PostKey(thread, VK_TAB);
  PostKey(thread, VK_TAB);
  WaitForFocus(id::kCmd14Gb);
  PostKey(thread, VK_RETURN);
  const auto box = WaitForMessageBox(corvane.Process().Id());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "You must open a GCM image before trying to rebuild.");
  EXPECT_TRUE(PressOk(box->window));
}

TEST_F(LayoutTest, AFixedWindowCentredOnTheScreenWithIconAndTaskbarButton) {
  const LONG style = StyleOf(corvane.Main());
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
            WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_EQ(ExStyleOf(corvane.Main()) & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(::GetWindow(corvane.Main(), GW_OWNER), nullptr);
  EXPECT_EQ(ProbeClient(corvane.Main()).WindowIcons(corvane.Main()), "big 32x32, small 16x16");
  RECT workArea{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const Box window = WindowBox(corvane.Main());
  EXPECT_NEAR(window.left + window.width / 2.0, (workArea.left + workArea.right) / 2.0, 1.0);
  EXPECT_NEAR(window.top + window.height / 2.0, (workArea.top + workArea.bottom) / 2.0, 1.0);
}

}  // namespace
}  // namespace e2e
