#include "app/form_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string_view>
#include <vector>

#include "app/about_layout.h"
#include "app/main_layout.h"
#include "app/twips.h"

namespace {

using namespace corvane::app;

PixelRect MainPixels(std::string_view name, int dpi) {
  const ControlRow* control = FindControl(MainControls(), name);
  EXPECT_NE(control, nullptr) << name;
  return control ? ToPixels(ClientBox(MainControls(), *control), dpi) : PixelRect{};
}

std::vector<std::string_view> FocusOrder(std::span<const ControlRow> controls) {
  std::vector<std::string_view> names;
  for (const ControlRow* control : CreationOrder(controls)) {
    if (TakesFocus(control->kind)) names.push_back(control->name);
  }
  return names;
}

bool Inside(const TwipsBox& inner, const TwipsBox& outer) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

TEST(TwipsTest, ClientAreasAndFontsFollowTheDpi) {
  const WindowProperties& main = MainWindowProperties();
  EXPECT_EQ(TwipsToPixels(main.clientWidth, 96), 312);
  EXPECT_EQ(TwipsToPixels(main.clientHeight, 96), 222);
  EXPECT_EQ(TwipsToPixels(main.clientWidth, 144), 468);
  EXPECT_EQ(TwipsToPixels(main.clientHeight, 144), 333);
  EXPECT_EQ(TwipsToPixels(main.clientWidth, 192), 624);
  EXPECT_EQ(TwipsToPixels(AboutWindowProperties().clientWidth, 96), 323);
  EXPECT_EQ(TwipsToPixels(AboutWindowProperties().clientHeight, 96), 232);
  // 8.25 point: 11 pixels at 96 DPI; 16.5 rounds up at 144.
  EXPECT_EQ(PointsToPixels(kFormFont.hundredthsOfPoint, 96), 11);
  EXPECT_EQ(PointsToPixels(kFormFont.hundredthsOfPoint, 120), 14);
  EXPECT_EQ(PointsToPixels(kFormFont.hundredthsOfPoint, 144), 17);
  // Halves round away from zero, on both sides.
  EXPECT_EQ(TwipsToPixels(7, 96), 0);
  EXPECT_EQ(TwipsToPixels(8, 96), 1);
  EXPECT_EQ(TwipsToPixels(-8, 96), -1);
}

TEST(FormLayoutTest, ControlsInFramesArePlacedByTheirFrame) {
  EXPECT_EQ(MainPixels("Frame1", 96), (PixelRect{8, 8, 297, 69}));
  EXPECT_EQ(MainPixels("InfoLabel(0)", 96), (PixelRect{16, 24, 185, 17}));
  EXPECT_EQ(MainPixels("I_Info(0)", 96), (PixelRect{88, 24, 209, 17}));
  EXPECT_EQ(MainPixels("I_Info(2)", 96), (PixelRect{88, 56, 209, 17}));
  EXPECT_EQ(MainPixels("L_Advice", 96), (PixelRect{16, 98, 281, 17}));
  // Frame3 starts at 123.3 pixels: its children are placed from its exact twips.
  EXPECT_EQ(MainPixels("Frame3", 96), (PixelRect{8, 123, 297, 92}));
  EXPECT_EQ(MainPixels("chkT", 96), (PixelRect{16, 139, 281, 17}));
  EXPECT_EQ(MainPixels("chkS", 96), (PixelRect{16, 155, 281, 17}));
  EXPECT_EQ(MainPixels("cmd14Gb", 96), (PixelRect{16, 179, 137, 25}));
  EXPECT_EQ(MainPixels("cmd3GB", 96), (PixelRect{160, 179, 137, 25}));
  EXPECT_EQ(MainPixels("cmd3GB", 144), (PixelRect{240, 269, 206, 38}));
}

// At 168 DPI (175 %) a twip is 7/60 of a pixel: edges fall between pixels, on halves too.
TEST(FormLayoutTest, At168DpiEachEdgeIsRoundedOnItsOwn) {
  EXPECT_EQ(TwipsToPixels(MainWindowProperties().clientWidth, 168), 546);
  EXPECT_EQ(TwipsToPixels(MainWindowProperties().clientHeight, 168), 389);
  EXPECT_EQ(PointsToPixels(kFormFont.hundredthsOfPoint, 168), 19);  // 19.25
  EXPECT_EQ(MainPixels("Frame1", 168), (PixelRect{14, 14, 520, 121}));
  // L_Advice spans 171.5 to 201.25: its top rounds up, its bottom down, 29 pixels high
  // where its own height alone would round to 30.
  EXPECT_EQ(MainPixels("L_Advice", 168), (PixelRect{28, 172, 492, 29}));
  EXPECT_EQ(MainPixels("Frame3", 168), (PixelRect{14, 216, 520, 161}));  // from 215.83
  EXPECT_EQ(MainPixels("chkS", 168), (PixelRect{28, 272, 492, 30}));
  EXPECT_EQ(MainPixels("cmd3GB", 168), (PixelRect{280, 314, 240, 44}));
  const auto aboutPixels = [](std::string_view name) {
    const ControlRow* control = FindControl(AboutControls(), name);
    return ToPixels(ClientBox(AboutControls(), *control), 168);
  };
  EXPECT_EQ(TwipsToPixels(AboutWindowProperties().clientWidth, 168), 565);
  EXPECT_EQ(TwipsToPixels(AboutWindowProperties().clientHeight, 168), 406);
  EXPECT_EQ(aboutPixels("Label4"), (PixelRect{14, 42, 772, 30}));
  EXPECT_EQ(aboutPixels("cmdOkay"), (PixelRect{392, 350, 156, 44}));
}

// The program's frames lie on their windows, but a layout may hold a frame in a frame: a
// control in the inner one is placed by both.
TEST(FormLayoutTest, AControlInANestedFrameIsPlacedByEveryFrameAroundIt) {
  const ControlRow controls[] = {
      {"Outer", ControlKind::kFrame, "", "", {120, 240, 3000, 2000}},
      {"Inner", ControlKind::kFrame, "Outer", "", {60, 90, 1500, 1000}},
      {"chkNested", ControlKind::kCheckBox, "Inner", "", {15, 30, 600, 255}},
  };
  EXPECT_EQ(ToPixels(ClientBox(controls, controls[2]), 96), (PixelRect{13, 24, 40, 17}));
}

TEST(FormLayoutTest, ControlsStayInsideTheirFramesAtAnyDpi) {
  // Frame3 and its children start on thirds of a pixel at 96 DPI: rounding each edge on
  // its own keeps every control inside its frame, and the frames inside the client area.
  const WindowProperties& window = MainWindowProperties();
  for (const int dpi : {96, 120, 144, 168, 192}) {
    const PixelRect client{0, 0, TwipsToPixels(window.clientWidth, dpi),
                           TwipsToPixels(window.clientHeight, dpi)};
    for (const ControlRow& control : MainControls()) {
      const PixelRect rect = MainPixels(control.name, dpi);
      const PixelRect outer =
          control.container.empty() ? client : MainPixels(control.container, dpi);
      EXPECT_GE(rect.left, outer.left) << control.name << " at " << dpi;
      EXPECT_GE(rect.top, outer.top) << control.name << " at " << dpi;
      EXPECT_LE(rect.left + rect.width, outer.left + outer.width) << control.name << " at " << dpi;
      EXPECT_LE(rect.top + rect.height, outer.top + outer.height) << control.name << " at " << dpi;
    }
  }
}

TEST(FormLayoutTest, EveryMainControlLiesInsideItsContainer) {
  const WindowProperties& window = MainWindowProperties();
  const TwipsBox client{0, 0, window.clientWidth, window.clientHeight};
  for (const ControlRow& control : MainControls()) {
    const ControlRow* frame = FindControl(MainControls(), control.container);
    EXPECT_EQ(control.container.empty(), frame == nullptr) << control.name;
    const TwipsBox container = frame ? TwipsBox{0, 0, frame->box.width, frame->box.height} : client;
    EXPECT_TRUE(Inside(control.box, container)) << control.name;
  }
}

TEST(FormLayoutTest, OnlyLabel4ReachesPastTheAboutWindow) {
  const WindowProperties& window = AboutWindowProperties();
  const TwipsBox client{0, 0, window.clientWidth, window.clientHeight};
  std::vector<std::string_view> outside;
  for (const ControlRow& control : AboutControls()) {
    if (!Inside(control.box, client)) outside.push_back(control.name);
  }
  EXPECT_EQ(outside, std::vector<std::string_view>{"Label4"});
  for (const LineRow& line : AboutLines()) {
    EXPECT_EQ(line.y1, line.y2) << line.name;
    EXPECT_TRUE(
        Inside({std::min(line.x1, line.x2), line.y1, std::abs(line.x2 - line.x1), 0}, client))
        << line.name;
  }
}

TEST(FormLayoutTest, EachValueLabelSitsOnTheRowOfItsCaption) {
  const std::pair<InfoRow, std::string_view> rows[] = {{InfoRow::kTitle, "Image Title:"},
                                                       {InfoRow::kSize, "Image Size:"},
                                                       {InfoRow::kStatus, "Image Status:"}};
  for (const auto& [row, caption] : rows) {
    const ControlRow* value = nullptr;
    const ControlRow* label = nullptr;
    for (const ControlRow& control : MainControls()) {
      if (control.id == InfoValueId(row)) value = &control;
      if (control.caption == caption) label = &control;
    }
    ASSERT_TRUE(value && label) << caption;
    EXPECT_EQ(value->container, label->container);
    EXPECT_EQ(value->box.top, label->box.top) << caption;
    // The two overlap: the value label begins inside the caption label.
    EXPECT_GT(value->box.left, label->box.left);
    EXPECT_LT(value->box.left, label->box.left + label->box.width);
  }
}

TEST(FormLayoutTest, FocusMovesThroughButtonsThenCheckBoxes) {
  EXPECT_EQ(FocusOrder(MainControls()),
            (std::vector<std::string_view>{"cmd14Gb", "cmd3GB", "chkT", "chkS"}));
  EXPECT_EQ(FocusOrder(AboutControls()), std::vector<std::string_view>{"cmdOkay"});
  EXPECT_EQ(FindControl(MainControls(), "cmd14Gb")->id, kMainInitialFocus);
  EXPECT_EQ(FindControl(AboutControls(), "cmdOkay")->id, kAboutInitialFocus);
}

TEST(FormLayoutTest, IdentifiersAreDistinctAndNoneIsADialogKey) {
  std::set<int> ids;
  std::size_t count = 0;
  for (const auto controls : {MainControls(), AboutControls()}) {
    for (const ControlRow& control : controls) {
      ids.insert(control.id);
      ++count;
    }
  }
  for (const MenuEntry& entry : MainMenu()) {
    if (entry.id == 0) continue;
    ids.insert(entry.id);
    ++count;
  }
  EXPECT_EQ(ids.size(), count);
  // Enter sends the command 1 and Escape 2: neither may press a control.
  EXPECT_FALSE(ids.contains(1));
  EXPECT_FALSE(ids.contains(2));
  EXPECT_FALSE(ids.contains(0));
}

}  // namespace
