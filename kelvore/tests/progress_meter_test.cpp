#include "kelvore/tool/progress_meter.h"

#include <gtest/gtest.h>

namespace kelvore {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr std::uint64_t kMiB = 1024 * 1024;

TEST(FormatProgressLine, ShowsBarPercentRateAndTimeLeft) {
  EXPECT_EQ(FormatProgressLine("Writing", 512 * kMiB, 1024 * kMiB, seconds(2)),
            "Writing   [##########----------]  50%   256.0 MB/s  0:02 left");
  EXPECT_EQ(FormatProgressLine("Verifying", 100 * kMiB, 100 * kMiB, milliseconds(62500)),
            "Verifying [####################] 100%     1.6 MB/s  1:03 total");
  EXPECT_EQ(FormatProgressLine("Verifying", 70 * kMiB, 70 * kMiB, seconds(70)),
            "Verifying [####################] 100%     1.0 MB/s  1:10 total");
  EXPECT_EQ(FormatProgressLine("Writing", 9 * kMiB, 18 * kMiB, seconds(9)),
            "Writing   [##########----------]  50%     1.0 MB/s  0:09 left");
}

TEST(FormatProgressLine, HasNoRateBeforeAnyTimePassed) {
  EXPECT_EQ(FormatProgressLine("Writing", 0, kMiB, seconds(0)),
            "Writing   [--------------------]   0%     -- MB/s  -:-- left");
}

TEST(FormatProgressLine, WideFiguresWidenTheirColumnsAndLongLinesAreCut) {
  EXPECT_EQ(FormatProgressLine("Writing", 10000 * kMiB, 20000 * kMiB, milliseconds(500)),
            "Writing   [##########----------]  50%  20000.0 MB/s  0:01 left");
  EXPECT_EQ(FormatProgressLine("Writing", kMiB, 606 * kMiB, seconds(1)),
            "Writing   [--------------------]   0%     1.0 MB/s  10:05 left");
  EXPECT_EQ(FormatProgressLine("Verifying image", kMiB, kMiB, seconds(1)),
            "Verifying image [####################] 100%     1.0 MB/s  0:01 total");
  EXPECT_EQ(FormatProgressLine(std::string(200, 'x'), kMiB, kMiB, seconds(1)),
            std::string(159, 'x'));
}

TEST(ProgressMeter, ShowsAtMostTenLinesASecondAndAlwaysTheLast) {
  const SteadyClock::time_point start{};
  ProgressMeter meter("Writing", 100, start);
  EXPECT_TRUE(meter.Update(1, start + milliseconds(10)));
  EXPECT_FALSE(meter.Update(2, start + milliseconds(60)));
  EXPECT_FALSE(meter.Update(3, start + milliseconds(109)));
  EXPECT_TRUE(meter.Update(4, start + milliseconds(110)));
  EXPECT_NE(meter.Finish(start + milliseconds(111)).find("100%"), std::string::npos);
}

}  // namespace
}  // namespace kelvore
