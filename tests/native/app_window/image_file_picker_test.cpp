#include "app/image_file_picker.h"

#include <gtest/gtest.h>

#include <string>

#include "app/main_form.h"
#include "doubles/fixed_number_format.h"
#include "doubles/memory_files.h"
#include "doubles/recording_main_view.h"
#include "doubles/scripted_common_dialogs.h"
#include "doubles/system_doubles.h"
#include "support/error.h"

namespace {

using corvane::app::ImageFilePicker;
using platform::OpenFileNameRecord;

constexpr std::int32_t kOwner = 0x30040;
constexpr std::int32_t kFileMustExist = 0x1000;
constexpr std::int32_t kAllowMultiSelect = 0x200;
constexpr std::int32_t kReadOnly = 0x1;
constexpr std::int32_t kHideReadOnly = 0x4;

std::string Padded(const std::string& text) { return text + std::string(260 - text.size(), '\0'); }

// The user confirms `path` in the dialog.
auto Choose(const std::string& path) {
  return [path](OpenFileNameRecord& record) { record.lpstrFile = Padded(path); };
}

class ImageFilePickerTest : public testing::Test {
 protected:
  doubles::ScriptedCommonDialogs dialogs;
  ImageFilePicker picker{kOwner, dialogs, dialogs};
};

TEST_F(ImageFilePickerTest, AsksForAnExistingGameCubeImageOwnedByTheMainWindow) {
  dialogs.open.Confirm(Choose("C:\\Images\\disc.gcm"));
  EXPECT_EQ(picker.PickImage("C:\\Images\\old.gcm"), "C:\\Images\\disc.gcm");
  const OpenFileNameRecord& shown = dialogs.open.Last();
  EXPECT_EQ(shown.hwndOwner, kOwner);
  EXPECT_EQ(shown.lpstrFile, Padded("C:\\Images\\old.gcm"));
  EXPECT_EQ(shown.lpstrFilter, std::string("GameCube ISO (*.GCM)\0*.GCM\0\0", 28));
  EXPECT_EQ(shown.nFilterIndex, 1);
  EXPECT_EQ(shown.Flags & kFileMustExist, kFileMustExist);
  EXPECT_EQ(shown.Flags & (kAllowMultiSelect | kReadOnly | kHideReadOnly), 0);
  EXPECT_TRUE(shown.lpstrInitialDir.empty());
  EXPECT_TRUE(shown.lpstrTitle.empty());
  EXPECT_TRUE(shown.lpstrDefExt.empty());
}

TEST_F(ImageFilePickerTest, CancelAndFailureGiveNoImage) {
  dialogs.open.Cancel();
  EXPECT_EQ(picker.PickImage("C:\\Images\\disc.gcm"), std::nullopt);
  dialogs.open.Fail(0x3003);  // FNERR_BUFFERTOOSMALL
  EXPECT_EQ(picker.PickImage("C:\\Images\\disc.gcm"), std::nullopt);
  // Each question starts afresh from the path it is given.
  dialogs.open.Confirm(Choose("C:\\b.gcm"));
  EXPECT_EQ(picker.PickImage(""), "C:\\b.gcm");
  EXPECT_EQ(dialogs.open.Last().lpstrFile, Padded(""));
}

// Open Image over the real dialog logic, the images in memory.
class OpenImageTest : public testing::Test {
 protected:
  OpenImageTest() {
    files.AddWithLength("C:\\Images\\disc.gcm", 1'400'000'000);
    files.AddWithLength("C:\\Images\\good.gcm", 1'459'978'240);
    paths.paths.insert("C:\\Tools\\kelvore.exe");
    shortPaths.table = {{"C:\\Images\\disc.gcm", "C:\\IMAGES\\DISC.GCM"}};
  }

  void Open(const std::string& path) {
    dialogs.open.Confirm(Choose(path));
    form.mnuOpen_Click(picker);
  }

  doubles::MemoryFiles files;
  platform::FileTable table{files};
  doubles::RecordingMainView view;
  doubles::FixedNumberFormat format{"."};
  corvane::app::ProgramState state;
  doubles::FixedExecutable executable{"C:\\Tools"};
  doubles::TableShortPaths shortPaths;
  doubles::RecordedLaunches launches;
  doubles::RecordedMessages messages;
  doubles::PathSet paths;
  doubles::ScriptedCommonDialogs dialogs;
  ImageFilePicker picker{kOwner, dialogs, dialogs};
  corvane::app::MainForm form{
      view, state, {executable, shortPaths, launches, messages}, paths, [this] {
        return std::make_unique<corvane::cBinaryFileStream>(table, files, "Corvane");
      }};
};

TEST_F(OpenImageTest, TheNextDialogStartsFromTheConfirmedImage) {
  Open("C:\\Images\\disc.gcm");
  EXPECT_EQ(view.info[0], "disc.gcm");
  dialogs.open.Cancel();
  form.mnuOpen_Click(picker);
  EXPECT_EQ(dialogs.open.Last().lpstrFile, Padded("C:\\Images\\disc.gcm"));
}

TEST_F(OpenImageTest, ACancelledDialogKeepsTheOpenImageForTheRebuild) {
  Open("C:\\Images\\disc.gcm");
  dialogs.open.Cancel();
  form.mnuOpen_Click(picker);
  EXPECT_EQ(state.ImagePath, "C:\\Images\\disc.gcm");
  EXPECT_EQ(view.info[0], "disc.gcm");
  form.cmd14Gb_Click();
  ASSERT_EQ(launches.launches.size(), 1u);
  EXPECT_EQ(launches.launches[0].commandLine, "C:\\Tools\\kelvore.exe C:\\IMAGES\\DISC.GCM f  ");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(OpenImageTest, AnImageThatCannotBeOpenedChangesNothing) {
  Open("C:\\Images\\good.gcm");
  try {
    Open("C:\\Images\\missing.gcm");
    FAIL() << "no error raised";
  } catch (const corvane::Error& error) {
    EXPECT_EQ(error.Number(), 53);
  }
  EXPECT_EQ(state.ImagePath, "C:\\Images\\good.gcm");
  EXPECT_EQ(view.info[0], "good.gcm");
  EXPECT_EQ(view.info[2], "Good Image");
  EXPECT_EQ(form.ImageState(), 1);
}

}  // namespace
