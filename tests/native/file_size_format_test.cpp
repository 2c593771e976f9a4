#include "support/file_size_format.h"

#include <gtest/gtest.h>

#include <limits>

#include "doubles/fixed_number_format.h"
#include "support/error.h"

namespace {

using corvane::mFunctions::FormatFileSize;

struct SizeCase {
  double value;
  const char* expected;
};

class FormatFileSizeTest : public testing::TestWithParam<SizeCase> {};

TEST_P(FormatFileSizeTest, RendersTwoDecimalsAndTheUnitOfEachStep) {
  const doubles::FixedNumberFormat point(".");
  EXPECT_EQ(FormatFileSize(GetParam().value, point), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    UnitBoundaries, FormatFileSizeTest,
    testing::Values(SizeCase{0, "0.00 Bytes"}, SizeCase{1023, "1023.00 Bytes"},
                    SizeCase{1023.5, "1.00 KB"},  // above 1023 means one more division
                    SizeCase{1024, "1.00 KB"}, SizeCase{1047552, "1023.00 KB"},
                    SizeCase{1047553, "1.00 MB"}, SizeCase{1459978240, "1.36 GB"},
                    SizeCase{2147483647, "2.00 GB"}, SizeCase{4699979776.0, "4.38 GB"},
                    SizeCase{-5, "-5.00 Bytes"}, SizeCase{-5000, "-5000.00 Bytes"},
                    SizeCase{1.2089258196146292e24, "1.00 YB"},  // 1024^8
                    SizeCase{1e30, "807.79 "}));                 // past YB: no unit

TEST(FormatFileSize, UsesTheUsersDecimalSeparator) {
  const doubles::FixedNumberFormat comma(",");
  EXPECT_EQ(FormatFileSize(1459978240, comma), "1,36 GB");
  EXPECT_EQ(FormatFileSize(0, comma), "0,00 Bytes");
}

TEST(FormatFileSize, RoundsHalfwayHundredthsAwayFromZero) {
  const doubles::FixedNumberFormat point(".");
  EXPECT_EQ(FormatFileSize(1152, point), "1.13 KB");  // 1.125 KB exactly
  EXPECT_EQ(FormatFileSize(-0.125, point), "-0.13 Bytes");
  EXPECT_EQ(FormatFileSize(-0.001, point), "0.00 Bytes");  // no negative zero
}

TEST(FormatFileSize, InfiniteCountRaisesOverflowInsteadOfLoopingForever) {
  const doubles::FixedNumberFormat point(".");
  try {
    FormatFileSize(std::numeric_limits<double>::infinity(), point);
    FAIL() << "expected overflow";
  } catch (const corvane::Error& error) {
    EXPECT_EQ(error.Number(), 6);
    EXPECT_EQ(error.Description(), "Overflow");
  }
}

}  // namespace
