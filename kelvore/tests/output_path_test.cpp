#include "kelvore/tool/output_path.h"

#include <gtest/gtest.h>

namespace kelvore {
namespace {

TEST(DefaultOutputPath, ReplacesTheLastExtensionOfTheNameOnly) {
  EXPECT_EQ(DefaultOutputPath("/games/Disc One.gcm"), "/games/Disc One.rebuilt.gcm");
  EXPECT_EQ(DefaultOutputPath("/games/disc.v2.GCM"), "/games/disc.v2.rebuilt.gcm");
  EXPECT_EQ(DefaultOutputPath("/games.old/disc"), "/games.old/disc.rebuilt.gcm");
  EXPECT_EQ(DefaultOutputPath("/games/.gcm"), "/games/.gcm.rebuilt.gcm");
  EXPECT_EQ(DefaultOutputPath("disc.iso"), "disc.rebuilt.gcm");
  EXPECT_EQ(DefaultOutputPath("/games/Disc One.gcm", ".ciso"), "/games/Disc One.rebuilt.ciso");
#ifdef _WIN32
  EXPECT_EQ(DefaultOutputPath("C:\\My Games\\Disc One.GCM"), "C:\\My Games\\Disc One.rebuilt.gcm");
  EXPECT_EQ(DefaultOutputPath("C:\\Old.Games\\disc"), "C:\\Old.Games\\disc.rebuilt.gcm");
  EXPECT_EQ(DefaultOutputPath("C:disc.gcm"), "C:disc.rebuilt.gcm");
#endif
}

}  // namespace
}  // namespace kelvore
