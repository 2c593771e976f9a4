#include <gtest/gtest.h>

#include <string>

#include "dialogs/common_dialog.h"
#include "doubles/scripted_common_dialogs.h"
#include "expect_error.h"

namespace {

using namespace std::string_literals;
using corvane::OpenFileNameArgs;
using corvane::SaveFileNameArgs;
using dialogs_testing::ExpectError;
using platform::OpenFileNameRecord;

constexpr std::int32_t kCdErrInitialization = 0x2;
constexpr std::int32_t kFnErrInvalidFileName = 0x3002;

std::string Padded(const std::string& text) { return text + std::string(260 - text.size(), '\0'); }

// The user picks `path` (title `title`) with the first filter, as the dialog reports it:
// the chosen path over the start of the old buffer, the rest of it left behind.
auto Choose(const std::string& path, const std::string& title, std::int32_t flags) {
  return [=](OpenFileNameRecord& record) {
    record.lpstrFile.replace(0, path.size() + 1, path + '\0');
    record.lpstrFileTitle.replace(0, title.size() + 1, title + '\0');
    record.Flags = flags;
    record.nFilterIndex = 1;
  };
}

class FileDialogs : public testing::Test {
 protected:
  doubles::ScriptedCommonDialogs system;
  corvane::cCommonDialog dialog{system, system};
};

// The main window's Open Image command.
TEST_F(FileDialogs, MainWindowCallComposesTheRecordAndTakesTheChosenImage) {
  OpenFileNameArgs args{.Filename = "C:\\Images\\previous-disc-image.gcm",
                        .Filter = "GameCube ISO (*.GCM)|*.GCM",
                        .Owner = 0x10052};
  system.open.Confirm(Choose("C:\\Images\\disc.gcm", "disc.gcm", 0x1000 | 0x80000));

  EXPECT_TRUE(dialog.VBGetOpenFileName(args));

  const OpenFileNameRecord& sent = system.open.Last();
  EXPECT_EQ(sent.Flags, 0x1000);
  EXPECT_EQ(sent.hwndOwner, 0x10052);
  EXPECT_EQ(sent.lpstrFilter, "GameCube ISO (*.GCM)\0*.GCM\0\0"s);
  EXPECT_EQ(sent.nFilterIndex, 1);
  EXPECT_EQ(sent.lpstrFile, Padded("C:\\Images\\previous-disc-image.gcm"));
  EXPECT_EQ(sent.nMaxFile, 260);
  EXPECT_EQ(sent.lpstrFileTitle, Padded(""));
  EXPECT_EQ(sent.nMaxFileTitle, 260);
  EXPECT_EQ(sent.lpstrInitialDir, "");
  EXPECT_EQ(sent.lpstrTitle, "");
  EXPECT_EQ(sent.lpstrDefExt, "");

  EXPECT_EQ(args.Filename, "C:\\Images\\disc.gcm");
  EXPECT_EQ(args.FileTitle, "disc.gcm");
  EXPECT_EQ(args.flags, 0x81000);
  EXPECT_EQ(args.FilterIndex, 1);
  EXPECT_EQ(args.Filter, "GameCube ISO (*.GCM)\0*.GCM"s);
  EXPECT_FALSE(args.ReadOnly);
  EXPECT_EQ(dialog.APIReturn(), 1);
  EXPECT_EQ(dialog.ExtendedError(), 0);
}

TEST_F(FileDialogs, DefaultsComposeTheirFlagsAndFilter) {
  OpenFileNameArgs open{.Filename = ""};
  SaveFileNameArgs save{.Filename = ""};
  dialog.VBGetOpenFileName(open);
  dialog.VBGetSaveFileName(save);

  EXPECT_EQ(system.open.Last().Flags, 0x1000);
  EXPECT_EQ(system.open.Last().lpstrFilter, "All (*.*)\0 *.*\0\0"s);
  EXPECT_EQ(system.open.Last().hwndOwner, 0);
  EXPECT_EQ(system.save.Last().Flags, 0x6);
  EXPECT_EQ(system.save.Last().lpstrFilter, "All (*.*)\0 *.*\0\0"s);
}

TEST_F(FileDialogs, OptionsAndCallerFlagsWithoutHookOrTemplate) {
  OpenFileNameArgs open{.Filename = "",
                        .FileMustExist = false,
                        .MultiSelect = true,
                        .ReadOnly = true,
                        .HideReadOnly = true,
                        .InitDir = "C:\\Images",
                        .DlgTitle = "Open Image",
                        .DefaultExt = "gcm",
                        .flags = 0x68};
  SaveFileNameArgs save{.Filename = "", .OverWritePrompt = false, .flags = 0x68};
  dialog.VBGetOpenFileName(open);
  dialog.VBGetSaveFileName(save);

  EXPECT_EQ(system.open.Last().Flags, 0x200 | 0x1 | 0x4 | 0x8);
  EXPECT_EQ(system.open.Last().lpstrInitialDir, "C:\\Images");
  EXPECT_EQ(system.open.Last().lpstrTitle, "Open Image");
  EXPECT_EQ(system.open.Last().lpstrDefExt, "gcm");
  EXPECT_EQ(system.save.Last().Flags, 0x4 | 0x8);
}

TEST_F(FileDialogs, OwnerMinusOneMeansNoneAndEveryOtherValuePassesUnchanged) {
  for (const std::int32_t owner : {-1, 0, 1, -2, 0x7FFFFFFF}) {
    OpenFileNameArgs args{.Filename = "", .Owner = owner};
    dialog.VBGetOpenFileName(args);
    EXPECT_EQ(system.open.Last().hwndOwner, owner == -1 ? 0 : owner);
  }
}

TEST_F(FileDialogs, ReadOnlyOnlyEverTurnsOn) {
  system.open.Confirm(Choose("C:\\a.gcm", "a.gcm", 0x1000));
  OpenFileNameArgs checkedIn{.Filename = "", .ReadOnly = true};
  dialog.VBGetOpenFileName(checkedIn);
  EXPECT_TRUE(checkedIn.ReadOnly);  // the user unchecked the box: stays true

  system.open.Confirm(Choose("C:\\a.gcm", "a.gcm", 0x1000 | 0x1));
  OpenFileNameArgs uncheckedIn{.Filename = ""};
  dialog.VBGetOpenFileName(uncheckedIn);
  EXPECT_TRUE(uncheckedIn.ReadOnly);  // the user checked it

  system.open.Cancel();
  OpenFileNameArgs cancelled{.Filename = "", .ReadOnly = true};
  dialog.VBGetOpenFileName(cancelled);
  EXPECT_TRUE(cancelled.ReadOnly);
}

TEST_F(FileDialogs, ReturnsTheChosenFilterPair) {
  system.open.Confirm([](OpenFileNameRecord& record) {
    record.lpstrFile.replace(0, 9, "C:\\b.iso"s + '\0');
    record.nFilterIndex = 2;
  });
  OpenFileNameArgs args{.Filename = "", .Filter = "GCM|*.gcm|ISO|*.iso"};
  dialog.VBGetOpenFileName(args);
  EXPECT_EQ(args.FilterIndex, 2);
  EXPECT_EQ(args.Filter, "ISO\0*.iso"s);
  EXPECT_EQ(args.Filename, "C:\\b.iso");
  EXPECT_EQ(args.FileTitle, "");
}

TEST_F(FileDialogs, CancelAndFailureEmptyTheResultsAndOnlyExtendedErrorTellsThemApart) {
  const auto previous = [] {
    return OpenFileNameArgs{.Filename = "C:\\old.gcm",
                            .FileTitle = "old.gcm",
                            .Filter = "GCM|*.gcm",
                            .FilterIndex = 1,
                            .flags = 0x8};
  };
  system.open.Cancel();
  OpenFileNameArgs cancelled = previous();
  EXPECT_FALSE(dialog.VBGetOpenFileName(cancelled));
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), 0);

  system.open.Fail(kFnErrInvalidFileName);
  OpenFileNameArgs failed = previous();
  EXPECT_FALSE(dialog.VBGetOpenFileName(failed));
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), kFnErrInvalidFileName);

  for (const OpenFileNameArgs& args : {cancelled, failed}) {
    EXPECT_EQ(args.Filename, "");
    EXPECT_EQ(args.FileTitle, "");
    EXPECT_EQ(args.flags, 0);
    EXPECT_EQ(args.FilterIndex, -1);
    EXPECT_EQ(args.Filter, "");
  }

  // The next call starts afresh.
  system.open.Cancel();
  dialog.VBGetOpenFileName(cancelled);
  EXPECT_EQ(dialog.ExtendedError(), 0);
}

TEST_F(FileDialogs, ReturnValuesOtherThanZeroOrOneAreFailures) {
  system.open.returnValue = 2;
  system.open.errorCode = kCdErrInitialization;
  OpenFileNameArgs args{.Filename = "C:\\old.gcm"};
  EXPECT_FALSE(dialog.VBGetOpenFileName(args));
  EXPECT_EQ(dialog.APIReturn(), 2);
  EXPECT_EQ(dialog.ExtendedError(), kCdErrInitialization);
  EXPECT_EQ(args.Filename, "");
}

TEST_F(FileDialogs, SaveConfirmsLikeOpenAndReportsIndexZeroAfterCancelOrFailure) {
  system.save.Confirm(Choose("C:\\new.gcm", "new.gcm", 0x6));
  SaveFileNameArgs confirmed{.Filename = "new.gcm", .Filter = "GCM|*.gcm"};
  EXPECT_TRUE(dialog.VBGetSaveFileName(confirmed));
  EXPECT_EQ(confirmed.Filename, "C:\\new.gcm");
  EXPECT_EQ(confirmed.FileTitle, "new.gcm");
  EXPECT_EQ(confirmed.flags, 0x6);
  EXPECT_EQ(confirmed.Filter, "GCM\0*.gcm"s);

  system.save.Cancel();
  SaveFileNameArgs cancelled{.Filename = "new.gcm", .FilterIndex = 1};
  EXPECT_FALSE(dialog.VBGetSaveFileName(cancelled));
  EXPECT_EQ(cancelled.FilterIndex, 0);
  EXPECT_EQ(cancelled.Filename, "");

  system.save.Fail(kFnErrInvalidFileName);
  SaveFileNameArgs failed{.Filename = "new.gcm", .FilterIndex = 1};
  EXPECT_FALSE(dialog.VBGetSaveFileName(failed));
  EXPECT_EQ(failed.FilterIndex, 0);
  EXPECT_EQ(dialog.ExtendedError(), kFnErrInvalidFileName);

  // The next call starts afresh.
  system.save.Cancel();
  EXPECT_FALSE(dialog.VBGetSaveFileName(cancelled));
  EXPECT_EQ(dialog.ExtendedError(), 0);
}

TEST_F(FileDialogs, OverlongNamesRaise5BeforeAnyDialogAndWriteNothing) {
  system.open.Fail(kFnErrInvalidFileName);
  OpenFileNameArgs earlier{.Filename = ""};
  dialog.VBGetOpenFileName(earlier);  // leaves a failure's status behind

  const std::string tooLong(261, 'x');
  OpenFileNameArgs longName{.Filename = tooLong, .FilterIndex = 3};
  ExpectError([&] { dialog.VBGetOpenFileName(longName); }, 5);
  EXPECT_EQ(longName.Filename, tooLong);
  EXPECT_EQ(longName.FilterIndex, 3);
  EXPECT_EQ(dialog.APIReturn(), 0);
  EXPECT_EQ(dialog.ExtendedError(), 0);

  SaveFileNameArgs longTitle{.Filename = "", .FileTitle = tooLong};
  ExpectError([&] { dialog.VBGetSaveFileName(longTitle); }, 5);
  EXPECT_EQ(system.open.seen.size(), 1u);
  EXPECT_TRUE(system.save.seen.empty());

  // 260 characters still fit; so do 260 characters of several bytes each.
  OpenFileNameArgs full{.Filename = std::string(260, 'x')};
  dialog.VBGetOpenFileName(full);
  OpenFileNameArgs wide{.Filename = ""};
  for (int i = 0; i < 260; ++i) wide.Filename += "é";
  dialog.VBGetOpenFileName(wide);
  EXPECT_EQ(system.open.seen.size(), 3u);
  SaveFileNameArgs fullTitle{.Filename = std::string(260, 'x'), .FileTitle = std::string(260, 't')};
  dialog.VBGetSaveFileName(fullTitle);
  EXPECT_EQ(system.save.seen.size(), 1u);
}

TEST_F(FileDialogs, FiltersOf32767CharactersRaise6BeforeAnyDialog) {
  OpenFileNameArgs longest{.Filename = "", .Filter = std::string(32766, 'f')};
  dialog.VBGetOpenFileName(longest);
  EXPECT_EQ(system.open.seen.size(), 1u);

  OpenFileNameArgs tooLong{.Filename = "", .Filter = std::string(32767, 'f')};
  ExpectError([&] { dialog.VBGetOpenFileName(tooLong); }, 6);
  SaveFileNameArgs tooLongSave{.Filename = "", .Filter = std::string(40000, 'f')};
  ExpectError([&] { dialog.VBGetSaveFileName(tooLongSave); }, 6);
  EXPECT_EQ(system.open.seen.size(), 1u);
  EXPECT_TRUE(system.save.seen.empty());
  EXPECT_EQ(tooLong.Filter.size(), 32767u);
}

TEST_F(FileDialogs, FileTitleIsTheBufferBeforeItsNulOrEmptyOnAnyNonZeroReturn) {
  system.open.Fail(kFnErrInvalidFileName);
  OpenFileNameArgs earlier{.Filename = ""};
  dialog.VBGetOpenFileName(earlier);

  system.fileTitle = "disc.gcm"s + '\0';
  EXPECT_EQ(dialog.VBGetFileTitle("C:\\Images\\disc.gcm"), "disc.gcm");
  EXPECT_EQ(system.fileTitleRequests.back().file, "C:\\Images\\disc.gcm");
  EXPECT_EQ(system.fileTitleRequests.back().bufferSize, 260u);

  system.fileTitleReturn = 9;  // the buffer would be too small
  EXPECT_EQ(dialog.VBGetFileTitle("C:\\Images\\disc.gcm"), "");
  system.fileTitleReturn = -1;  // an invalid name
  EXPECT_EQ(dialog.VBGetFileTitle("C:\\Images\\*.gcm"), "");

  // The status of the last dialog stays.
  EXPECT_EQ(dialog.ExtendedError(), kFnErrInvalidFileName);
}

}  // namespace
