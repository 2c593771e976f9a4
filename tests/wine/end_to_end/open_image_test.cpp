// Opening images: the refusals of good and oversize images, and what a cancelled or failed
// open leaves behind.
#include <gtest/gtest.h>

#include "app/main_layout.h"
#include "driver/corvane_session.h"
#include "driver/dialogs.h"
#include "driver/probe_client.h"
#include "driver/sparse_file.h"
#include "driver/windows.h"

namespace e2e {
namespace {

namespace id = corvane::app::main_control;

constexpr char kRefusal[] =
    "This tool is for rebuilding wiped GCM images.\r\nYou can not rebuild good or oversized "
    "images.";

// Presses `button` and expects the refusal box, with the information icon, owned by the
// main window; closes it.
void ExpectRefusal(CorvaneSession& corvane, int button) {
  corvane.PressButton(button);
  const auto box = WaitForMessageBox(corvane.Process().Id());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, "Error ...");
  EXPECT_EQ(box->text, kRefusal);
  EXPECT_EQ(box->owner, corvane.Main());
  EXPECT_EQ(ProbeClient(box->window).MessageBoxIcon(box->window), "information");
  EXPECT_TRUE(PressOk(box->window));
}

TEST(OpenImageTest, GoodAndOversizeImagesAreNotRebuilt) {
  CorvaneSession corvane;
  ASSERT_TRUE(corvane.OpenImage(corvane.Folder().Image("good.gcm", 1'459'978'240)));
  EXPECT_EQ(corvane.Info(1), "1459978240 Bytes / 1.36 GB");
  EXPECT_EQ(corvane.Info(2), "Good Image");
  EXPECT_EQ(corvane.Advice(), "This image is okay, nothing to do.");
  ExpectRefusal(corvane, id::kCmd14Gb);

  ASSERT_TRUE(corvane.OpenImage(corvane.Folder().Image("over.gcm", 1'459'978'241)));
  EXPECT_EQ(corvane.Info(2), "Oversize Image?");
  EXPECT_EQ(corvane.Advice(), "Oversized image, cannot give advice.");
  ExpectRefusal(corvane, id::kCmd3GB);
  EXPECT_FALSE(corvane.Folder().ToolWasStarted());
}

TEST(OpenImageTest, NoImageYetIsRefusedWithTheErrorIcon) {
  CorvaneSession corvane;
  corvane.PressButton(id::kCmd3GB);
  const auto box = WaitForMessageBox(corvane.Process().Id());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "You must open a GCM image before trying to rebuild.");
  EXPECT_EQ(ProbeClient(box->window).MessageBoxIcon(box->window), "error");
  EXPECT_TRUE(PressOk(box->window));
}

TEST(OpenImageTest, ACancelledOpenKeepsTheOpenImage) {
  CorvaneSession corvane;
  const auto image = corvane.Folder().Image("disc.gcm", 1'400'000'000);
  ASSERT_TRUE(corvane.OpenImage(image));
  PostCommand(corvane.Main(), corvane::app::main_menu::kOpen);
  const HWND dialog = WaitForOpenDialog(corvane.Process().Id());
  ASSERT_NE(dialog, nullptr);
  // The dialog offers the open image again.
  EXPECT_NE(OpenDialogFileName(dialog).find("disc.gcm"), std::string::npos);
  ASSERT_TRUE(CancelOpenDialog(dialog));
  EXPECT_EQ(corvane.Info(0), "disc.gcm");
  EXPECT_EQ(corvane.Info(2), "Wiped Image");
  EXPECT_EQ(corvane.FirstToolCall(id::kCmd14Gb), corvane.ToolCall(image, " f  "));
}

TEST(OpenImageTest, AnImageThatCannotBeOpenedLeavesTheWindowAsItWas) {
  CorvaneSession corvane;
  const auto image = corvane.Folder().Image("disc.gcm", 1'400'000'000);
  ASSERT_TRUE(corvane.OpenImage(image));
  const auto hidden = corvane.Folder().Image("hidden.gcm", 1'459'978'241);
  MakeHidden(hidden);
  ASSERT_TRUE(corvane.ChooseImage(hidden));
  const auto box = WaitForMessageBox(corvane.Process().Id());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, "Error ...");
  EXPECT_EQ(box->text, "File not found\r\n\r\nError 53 (Corvane.File)");
  EXPECT_EQ(ProbeClient(box->window).MessageBoxIcon(box->window), "error");
  ASSERT_TRUE(PressOk(box->window));
  // The program goes on, still describing the first image, which it still holds open
  // against writers.
  EXPECT_EQ(corvane.Info(0), "disc.gcm");
  EXPECT_EQ(corvane.Info(1), "1400000000 Bytes / 1.30 GB");
  EXPECT_EQ(corvane.Info(2), "Wiped Image");
  const HANDLE writer =
      ::CreateFileW(image.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
  EXPECT_EQ(corvane.FirstToolCall(id::kCmd3GB), corvane.ToolCall(image, " g  "));
}

}  // namespace
}  // namespace e2e
