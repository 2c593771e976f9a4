#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace {

using corvane::app::CentredOver;
using corvane::app::ScreenRect;

constexpr ScreenRect kWorkArea{0, 0, 1280, 994};

TEST(WindowPlacementTest, CentredOnTheWorkArea) {
  EXPECT_EQ(CentredOver(kWorkArea, 318, 272, kWorkArea), (ScreenRect{481, 361, 799, 633}));
  // A work area that does not start at the origin (a taskbar on the left).
  const ScreenRect shifted{60, 0, 1280, 1024};
  EXPECT_EQ(CentredOver(shifted, 320, 240, shifted), (ScreenRect{510, 392, 830, 632}));
}

TEST(WindowPlacementTest, CentredOverItsOwner) {
  const ScreenRect owner{100, 200, 418, 472};
  EXPECT_EQ(CentredOver(owner, 330, 260, kWorkArea), (ScreenRect{94, 206, 424, 466}));
}

TEST(WindowPlacementTest, KeptInsideTheWorkAreaNearItsEdges) {
  const ScreenRect nearRight{1100, 900, 1418, 1172};
  EXPECT_EQ(CentredOver(nearRight, 330, 260, kWorkArea), (ScreenRect{950, 734, 1280, 994}));
  const ScreenRect nearLeft{-200, -100, 118, 172};
  EXPECT_EQ(CentredOver(nearLeft, 330, 260, kWorkArea), (ScreenRect{0, 0, 330, 260}));
}

TEST(WindowPlacementTest, LargerThanTheWorkAreaKeepsItsCaptionOnScreen) {
  const ScreenRect small{0, 0, 300, 200};
  EXPECT_EQ(CentredOver(small, 400, 300, small), (ScreenRect{0, 0, 400, 300}));
}

}  // namespace
