#include "kelvore/tool/console_lines.h"

#include <gtest/gtest.h>

namespace kelvore {
namespace {

TEST(ConsoleLines, ProgressIsRedrawnInPlaceAndCoveredByTheNextLine) {
  ConsoleLines lines("\n");
  EXPECT_EQ(lines.Line("Rebuilding"), "Rebuilding\n");
  EXPECT_EQ(lines.Progress("50% 12.0 MB/s"), "\r50% 12.0 MB/s");
  EXPECT_EQ(lines.Progress("100%"), "\r100%         ") << "the longer figures are covered";
  EXPECT_EQ(lines.Line("Done"), "\rDone\n");
  EXPECT_EQ(lines.Line("Next"), "Next\n") << "nothing to cover after a whole line";
}

TEST(ConsoleLines, ProgressIsEndedOnceBeforeOutputElsewhere) {
  ConsoleLines lines("\r\n");
  EXPECT_EQ(lines.EndProgress(), "");
  lines.Progress("10%");
  EXPECT_EQ(lines.EndProgress(), "\r\n");
  EXPECT_EQ(lines.EndProgress(), "");
}

}  // namespace
}  // namespace kelvore
