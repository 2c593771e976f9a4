#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "dialog_robot.h"
#include "dialogs/common_dialog.h"

namespace {

using namespace std::string_literals;
using corvane::OpenFileNameArgs;
using corvane::SaveFileNameArgs;
using dialogs_testing::DialogRobot;
using dialogs_testing::PressCancel;
using dialogs_testing::PressOk;
using dialogs_testing::Type;

constexpr int kFileNameField = 0x47C;  // the file-name combo box of the file dialogs

// A fresh folder with one image file, removed at the end.
class ImageFolder {
 public:
  ImageFolder() {
    folder_ = std::filesystem::temp_directory_path() /
              ("corvane-dialogs-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "disc.gcm", std::ios::binary) << "GCM";
  }
  ImageFolder(const ImageFolder&) = delete;
  ImageFolder& operator=(const ImageFolder&) = delete;
  // The file dialogs make the chosen folder the current one; leave it before removing it.
  ~ImageFolder() {
    std::error_code error;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), error);
    std::filesystem::remove_all(folder_, error);
    if (error) ADD_FAILURE() << "cannot remove " << folder_ << ": " << error.message();
  }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

 private:
  std::filesystem::path folder_;
};

class FileDialogsUnderWine : public testing::Test {
 protected:
  ImageFolder images;
  corvane::cCommonDialog dialog;
};

TEST_F(FileDialogsUnderWine, OpenConfirmsTheTypedImage) {
  const std::string image = images.Path("disc.gcm");
  OpenFileNameArgs args{.Filename = "", .Filter = "GameCube ISO (*.GCM)|*.GCM"};
  DialogRobot user([&](HWND dialogBox) {
    Type(dialogBox, kFileNameField, image);
    PressOk(dialogBox);
  });
  const bool confirmed = dialog.VBGetOpenFileName(args);
  ASSERT_TRUE(user.Finish()) << "no open dialog appeared";

  EXPECT_TRUE(confirmed);
  EXPECT_EQ(dialog.APIReturn(), 1);
  EXPECT_EQ(dialog.ExtendedError(), 0);
  EXPECT_TRUE(std::filesystem::equivalent(args.Filename, image)) << args.Filename;
  EXPECT_EQ(args.FileTitle, "disc.gcm");
  EXPECT_EQ(args.flags & 0x1000, 0x1000) << std::hex << args.flags;
  EXPECT_EQ(args.FilterIndex, 1);
  EXPECT_EQ(args.Filter, "GameCube ISO (*.GCM)\0*.GCM"s);
}

TEST_F(FileDialogsUnderWine, CancelEmptiesEverything) {
  OpenFileNameArgs args{.Filename = images.Path("disc.gcm"),
                        .FileTitle = "disc.gcm",
                        .Filter = "GameCube ISO (*.GCM)|*.GCM",
                        .flags = 0x8};
  DialogRobot user(PressCancel);
  EXPECT_FALSE(dialog.VBGetOpenFileName(args));
  ASSERT_TRUE(user.Finish()) << "no open dialog appeared";

  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), 0);
  EXPECT_EQ(args.Filename, "");
  EXPECT_EQ(args.FileTitle, "");
  EXPECT_EQ(args.flags, 0);
  EXPECT_EQ(args.FilterIndex, -1);
  EXPECT_EQ(args.Filter, "");
}

TEST_F(FileDialogsUnderWine, SaveConfirmsANewName) {
  const std::string target = images.Path("rebuilt.gcm");
  SaveFileNameArgs args{.Filename = "", .Filter = "GameCube ISO (*.GCM)|*.GCM"};
  DialogRobot user([&](HWND dialogBox) {
    Type(dialogBox, kFileNameField, target);
    PressOk(dialogBox);
  });
  const bool confirmed = dialog.VBGetSaveFileName(args);
  ASSERT_TRUE(user.Finish()) << "no save dialog appeared";

  EXPECT_TRUE(confirmed);
  EXPECT_EQ(dialog.APIReturn(), 1);
  EXPECT_EQ(std::filesystem::path(args.Filename).filename(), "rebuilt.gcm") << args.Filename;
  EXPECT_EQ(args.FileTitle, "rebuilt.gcm");
  EXPECT_EQ(args.flags & 0x6, 0x6) << std::hex << args.flags;
  EXPECT_EQ(args.FilterIndex, 1);
}

TEST_F(FileDialogsUnderWine, SaveCancelReportsIndexZero) {
  SaveFileNameArgs args{.Filename = "rebuilt.gcm"};
  DialogRobot user(PressCancel);
  EXPECT_FALSE(dialog.VBGetSaveFileName(args));
  ASSERT_TRUE(user.Finish()) << "no save dialog appeared";
  EXPECT_EQ(args.FilterIndex, 0);
  EXPECT_EQ(args.Filename, "");
  EXPECT_EQ(dialog.ExtendedError(), 0);
}

// A template handle without an instance handle: the system cannot load the dialog. It
// reports the failure as it reports a cancel, with 0, and sets the extended error.
TEST_F(FileDialogsUnderWine, AFailedDialogReportsTheSystemsExtendedError) {
  constexpr std::int32_t kOfnEnableTemplateHandle = 0x80;
  constexpr std::int32_t kCdErrLoadResFailure = 0x7;
  OpenFileNameArgs args{.Filename = images.Path("disc.gcm"), .flags = kOfnEnableTemplateHandle};
  DialogRobot user(PressCancel);  // closes whatever the system shows instead
  EXPECT_FALSE(dialog.VBGetOpenFileName(args));
  user.Finish();

  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), kCdErrLoadResFailure);
  EXPECT_EQ(args.Filename, "");
  EXPECT_EQ(args.FilterIndex, -1);

  // A cancel right after it reads as a cancel again.
  OpenFileNameArgs next{.Filename = ""};
  DialogRobot nextUser(PressCancel);
  EXPECT_FALSE(dialog.VBGetOpenFileName(next));
  ASSERT_TRUE(nextUser.Finish()) << "no open dialog appeared";
  EXPECT_EQ(dialog.ExtendedError(), 0);
}

TEST_F(FileDialogsUnderWine, FileTitleOfARealPath) {
  EXPECT_EQ(dialog.VBGetFileTitle(images.Path("disc.gcm")), "disc.gcm");
  // A wildcard is no file name: the system refuses and the title is empty.
  EXPECT_EQ(dialog.VBGetFileTitle(images.Path("*.gcm")), "");
}

}  // namespace
