// The typical run: a wiped image opened, the options chosen, the rebuild started.
#include <gtest/gtest.h>

#include "app/main_layout.h"
#include "driver/corvane_session.h"
#include "driver/screen.h"
#include "driver/windows.h"

namespace e2e {
namespace {

namespace id = corvane::app::main_control;

TEST(TypicalRunTest, AWipedImageIsShownAndRebuilt) {
  CorvaneSession corvane;
  ASSERT_NE(corvane.Main(), nullptr);
  const auto image = corvane.Folder().Image("disc.gcm", 1'400'000'000);
  ASSERT_TRUE(corvane.OpenImage(image));
  EXPECT_EQ(corvane.Info(0), "disc.gcm");
  EXPECT_EQ(corvane.Info(1), "1400000000 Bytes / 1.30 GB");
  EXPECT_EQ(corvane.Info(2), "Wiped Image");
  EXPECT_EQ(corvane.Advice(), "You should consider rebuilding this image.");

  // Checked, then unchecked again: the align option is off.
  ASSERT_TRUE(corvane.ToggleOption(id::kChkT));
  ASSERT_TRUE(corvane.ToggleOption(id::kChkT));
  corvane.PressButton(id::kCmd3GB);
  const std::string start = corvane.ToolPath() + " " + corvane.ShortPath(image);
  auto calls = corvane.Folder().ToolCalls(1);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], start + " g  ");
  // A normal window that takes the focus.
  EXPECT_EQ(corvane.Folder().LastToolShowState(), "flags=1 show=1");

  // Both options checked: their letters follow the mode, align first.
  ASSERT_TRUE(corvane.ToggleOption(id::kChkS));
  ASSERT_TRUE(corvane.ToggleOption(id::kChkT));
  corvane.PressButton(id::kCmd14Gb);
  calls = corvane.Folder().ToolCalls(2);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1], start + " f t s");

  // Close in the system menu ends the program.
  ASSERT_TRUE(ChooseSystemMenuClose(corvane.Main()));
  EXPECT_TRUE(corvane.Process().WaitForExit());
  EXPECT_EQ(corvane.Process().ExitCode(), 0u);
}

TEST(TypicalRunTest, CaptionAndValueLabelsBothShowTheirText) {
  // Each row's value label overlaps its caption label: both texts must stay visible.
  CorvaneSession corvane;
  ASSERT_TRUE(corvane.OpenImage(corvane.Folder().Image("disc.gcm", 1'400'000'000)));
  for (int row = 0; row < 3; ++row) {
    const Box caption = ChildBox(corvane.Main(), id::kInfoLabel0 + row);
    const Box value = ChildBox(corvane.Main(), id::kInfo0 + row);
    const Box captionOnly{caption.left, caption.top, value.left - caption.left, caption.height};
    const Box overlap{value.left, value.top, caption.left + caption.width - value.left,
                      value.height};
    EXPECT_GT(DarkPixels(corvane.Main(), captionOnly), 20) << "caption of row " << row;
    EXPECT_GT(DarkPixels(corvane.Main(), overlap), 20) << "value of row " << row;
  }
}

}  // namespace
}  // namespace e2e
