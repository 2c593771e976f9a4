#include "support/path_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "temp_folder.h"

namespace {

using corvane::mFunctions::FileExists;
using corvane::mFunctions::FileNameFromPath;
using corvane::mFunctions::GetShortPath;

TEST(FileNameFromPath, TakesTheTextAfterTheLastBackslashOnly) {
  EXPECT_EQ(FileNameFromPath(R"(C:\Images\disc.gcm)"), "disc.gcm");
  EXPECT_EQ(FileNameFromPath("disc.gcm"), "disc.gcm");
  EXPECT_EQ(FileNameFromPath(R"(C:\Images\)"), "");
  EXPECT_EQ(FileNameFromPath(""), "");
  EXPECT_EQ(FileNameFromPath("C:/Images/disc.gcm"), "C:/Images/disc.gcm");
  EXPECT_EQ(FileNameFromPath(R"(\\server\share\a b.gcm)"), "a b.gcm");
}

// A GetShortPathNameA that answers with a scripted short form or return value.
class ScriptedShortPathApi final : public platform::ShortPathApi {
 public:
  std::uint32_t GetShortPathNameA(const char* longPath, char* buffer,
                                  std::uint32_t bufferSize) override {
    asked = longPath;
    askedSize = bufferSize;
    if (returnValue) return *returnValue;
    if (shortForm.size() >= bufferSize) return static_cast<std::uint32_t>(shortForm.size() + 1);
    std::memcpy(buffer, shortForm.c_str(), shortForm.size() + 1);
    return static_cast<std::uint32_t>(shortForm.size());
  }
  std::string shortForm;
  std::optional<std::uint32_t> returnValue;
  std::string asked;
  std::uint32_t askedSize = 0;
};

TEST(GetShortPath, ReturnsExactlyTheCharactersTheSystemReports) {
  ScriptedShortPathApi api;
  api.shortForm = R"(C:\GAMES\DISC~1.GCM)";
  EXPECT_EQ(GetShortPath(R"(C:\Games\Disc image.gcm)", api), R"(C:\GAMES\DISC~1.GCM)");
  EXPECT_EQ(api.asked, R"(C:\Games\Disc image.gcm)");
  EXPECT_EQ(api.askedSize, 1024u);
}

TEST(GetShortPath, FailureGivesEmptyText) {
  ScriptedShortPathApi api;
  api.returnValue = 0;
  EXPECT_EQ(GetShortPath("missing", api), "");
}

TEST(GetShortPath, ShortFormTooLongForTheBufferGivesEmptyTextNotBlanks) {
  ScriptedShortPathApi api;
  api.shortForm = std::string(1100, 'A');
  EXPECT_EQ(GetShortPath("long", api), "");
}

TEST(GetShortPath, OnThisSystemAnExistingPathIsItsOwnShortFormAndAMissingOneIsEmpty) {
  const testing_support::TempFolder folder;
  const std::string file = folder.File("disc.gcm", {1, 2, 3});
  EXPECT_EQ(GetShortPath(file), file);
  EXPECT_EQ(GetShortPath(folder.Path("missing.gcm")), "");
}

TEST(FileExists, IsTrueForFilesAndFoldersAndFalseOtherwise) {
  const testing_support::TempFolder folder;
  const std::string file = folder.File("kelvore.exe", {});
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(folder.Path("")));
  EXPECT_FALSE(FileExists(folder.Path("nothing.exe")));
  EXPECT_FALSE(FileExists(""));
}

}  // namespace
