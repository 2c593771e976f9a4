// The whole way through: a wiped image opened in Corvane, rebuilt by the real tool that
// Corvane starts, and the rebuilt image opened again.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "app/main_layout.h"
#include "driver/corvane_session.h"
#include "driver/polling.h"
#include "kelvore/testing/synthetic_image.h"

namespace e2e {
namespace {

namespace id = corvane::app::main_control;

TEST(RebuildTest, WipedImageRebuiltByTheToolOpensAsGood) {
  CorvaneSession corvane(Tool::kRebuildTool);
  ASSERT_NE(corvane.Main(), nullptr);
  const std::filesystem::path image = corvane.Folder().Path() / "Images" / "wiped disc.gcm";
  const kelvore::testkit::SyntheticImage disc(kelvore::testkit::NestedDiscRecipe());
  disc.WriteTo(image.string());

  ASSERT_TRUE(corvane.OpenImage(image));
  EXPECT_EQ(corvane.Info(2), "Wiped Image");
  corvane.PressButton(id::kCmd14Gb);

  // The tool renames its output into place only once it is complete and verified.
  const std::filesystem::path rebuilt = image.parent_path() / "wiped disc.rebuilt.gcm";
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(rebuilt); }, std::chrono::minutes(2)))
      << "no rebuilt image appeared";
  ASSERT_TRUE(corvane.OpenImage(rebuilt));
  EXPECT_EQ(corvane.Info(0), "wiped disc.rebuilt.gcm");
  EXPECT_EQ(corvane.Info(1), "1459978240 Bytes / 1.36 GB");
  EXPECT_EQ(corvane.Info(2), "Good Image");
  EXPECT_EQ(corvane.Advice(), "This image is okay, nothing to do.");
}

}  // namespace
}  // namespace e2e
