// Image names under other ANSI code pages than the Western one: a double-byte code page
// (Japanese, 932) and UTF-8 (65001). Wine takes a process's ANSI code page from the Unix
// locale it was started under, and the programs it starts inherit that locale (not the
// Windows environment's LC_ALL or LANG). Each suite therefore runs in a CTest entry of its
// own, under LC_ALL=ja_JP.UTF-8 or LC_ALL=hi_IN.UTF-8, and skips itself anywhere else.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/main_layout.h"
#include "driver/corvane_session.h"
#include "driver/dialogs.h"
#include "driver/sparse_file.h"

namespace e2e {
namespace {

namespace id = corvane::app::main_control;

constexpr std::uint64_t kWipedSize = 1'400'000'000;

// Runs only where this process, and so the Corvane it starts, has ANSI code page `kCodePage`.
template <UINT kCodePage>
class UnderCodePage : public testing::Test {
 protected:
  void SetUp() override {
    if (::GetACP() != kCodePage) GTEST_SKIP() << "runs in its own CTest entry, under its locale";
    session_.emplace();
  }

  CorvaneSession& Corvane() { return *session_; }

  // A wiped image of that name in the application folder's Images folder.
  std::filesystem::path Image(const std::wstring& name) {
    const auto image = Corvane().Folder().Path() / "Images" / name;
    CreateSparseFile(image, kWipedSize);
    return image;
  }

 private:
  std::optional<CorvaneSession> session_;
};

using JapaneseCodePageTest = UnderCodePage<932>;
using Utf8CodePageTest = UnderCodePage<65001>;

TEST_F(JapaneseCodePageTest, AJapaneseNameIsShownAndReachesTheToolAsItsShortPath) {
  CorvaneSession& corvane = Corvane();
  const auto image = Image(L"\u30BC\u30EB\u30C0.gcm");  // ゼルダ.gcm
  ASSERT_TRUE(corvane.OpenImage(image));
  EXPECT_EQ(corvane.Info(0), "\u30BC\u30EB\u30C0.gcm");
  EXPECT_EQ(corvane.Info(1), "1400000000 Bytes / 1.30 GB");
  EXPECT_EQ(corvane.Info(2), "Wiped Image");
  EXPECT_EQ(corvane.FirstToolCall(id::kCmd14Gb), corvane.ToolCall(image, " f  "));
}

TEST_F(JapaneseCodePageTest, ANameTheCodePageCannotHoldNeverStartsTheToolWithAnotherPath) {
  CorvaneSession& corvane = Corvane();
  const auto image = Image(L"caf\u00E9.gcm");  // café.gcm: no é in code page 932
  const auto dismissMessageBoxes = [&] {
    while (const auto box = WaitForMessageBox(corvane.Process().Id(), std::chrono::seconds(3))) {
      if (!PressOk(box->window)) return false;
    }
    return true;
  };
  // The ANSI dialog hands back a name the code page can hold ("cafe.gcm" under Wine), which
  // names no file here. Whatever the window makes of it, a rebuild starts the tool with this
  // image's short path or not at all.
  ASSERT_TRUE(corvane.ChooseImage(image));
  ASSERT_TRUE(dismissMessageBoxes());
  corvane.PressButton(id::kCmd14Gb);
  ASSERT_TRUE(dismissMessageBoxes());
  if (corvane.Folder().ToolWasStarted()) {
    const auto calls = corvane.Folder().ToolCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], corvane.ToolCall(image, " f  "));
  }
}

TEST_F(Utf8CodePageTest, CorvaneStartsAndTheToolGetsTheShortPath) {
  CorvaneSession& corvane = Corvane();
  ASSERT_NE(corvane.Main(), nullptr) << "the start-up check did not find the tool";
  // Under UTF-8 every name is exact, Japanese and accented letters alike.
  const auto image = Image(L"\u30BC\u30EB\u30C0 caf\u00E9.gcm");
  ASSERT_TRUE(corvane.OpenImage(image));
  EXPECT_EQ(corvane.Info(2), "Wiped Image");
  EXPECT_EQ(corvane.FirstToolCall(id::kCmd3GB), corvane.ToolCall(image, " g  "));
}

}  // namespace
}  // namespace e2e
