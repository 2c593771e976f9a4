#include "app/main_commands.h"

#include <gtest/gtest.h>

#include "app/main_layout.h"

namespace {

using namespace corvane::app;

TEST(MainCommandsTest, EachMenuEntryAndControlReachesItsOwnHandler) {
  EXPECT_EQ(CommandFor(main_menu::kOpen, 0), MainCommand::kOpen);
  EXPECT_EQ(CommandFor(main_menu::kExit, 0), MainCommand::kExit);
  EXPECT_EQ(CommandFor(main_menu::kAbout, 0), MainCommand::kAbout);
  EXPECT_EQ(CommandFor(main_control::kChkS, 0), MainCommand::kChkS);
  EXPECT_EQ(CommandFor(main_control::kChkT, 0), MainCommand::kChkT);
  EXPECT_EQ(CommandFor(main_control::kCmd14Gb, 0), MainCommand::kCmd14Gb);
  EXPECT_EQ(CommandFor(main_control::kCmd3GB, 0), MainCommand::kCmd3GB);
}

TEST(MainCommandsTest, OtherNotificationsAndControlsLeadNowhere) {
  // An accelerator (1) or a focus notification of a button is no click.
  EXPECT_EQ(CommandFor(main_control::kCmd14Gb, 1), MainCommand::kNone);
  EXPECT_EQ(CommandFor(main_control::kChkS, 6), MainCommand::kNone);
  EXPECT_EQ(CommandFor(main_control::kInfo0, 0), MainCommand::kNone);
  EXPECT_EQ(CommandFor(main_control::kFrame3, 0), MainCommand::kNone);
}

TEST(MainCommandsTest, EnterIsHandledAndEscapePressesNothing) {
  EXPECT_EQ(CommandFor(1, 0), MainCommand::kEnterKey);
  EXPECT_EQ(CommandFor(2, 0), MainCommand::kNone);
}

}  // namespace
