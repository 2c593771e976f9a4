#include "support/path_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

TEST(GetShortPath, AShortFormThatFillsTheBufferExactlyIsKept) {
  ScriptedShortPathApi api;
  api.shortForm = std::string(1023, 'A');  // with its NUL, 1024 bytes
  EXPECT_EQ(GetShortPath("long", api), api.shortForm);
  api.returnValue = 1024;  // the size a 1023-character form needs: no path in the buffer
  EXPECT_EQ(GetShortPath("long", api), "");
}

// An existing file whose full path has exactly `length` characters, in nested folders.
std::string ExistingPathOfLength(const testing_support::TempFolder& folder, size_t length) {
  std::filesystem::path path = folder.Path("");
  while (length - path.string().size() > 200) {
    path /= std::string(150, 'd');
    std::filesystem::create_directory(path);
  }
  path /= std::string(length - path.string().size() - 1, 'f');
  std::ofstream(path).close();
  return path.string();
}

TEST(GetShortPath, OnThisSystemAPathFillingTheBufferExactlyIsItsOwnShortForm) {
  const testing_support::TempFolder folder;
  const std::string longest = ExistingPathOfLength(folder, 1023);
  ASSERT_EQ(longest.size(), 1023u);
  EXPECT_EQ(GetShortPath(longest), longest);
  const std::string tooLong = ExistingPathOfLength(folder, 1024);
  ASSERT_EQ(tooLong.size(), 1024u);
  EXPECT_TRUE(FileExists(tooLong));
  EXPECT_EQ(GetShortPath(tooLong), "");
  // The system's answer: the size the form needs, NUL included, and nothing written.
  std::vector<char> buffer(1024, '-');
  EXPECT_EQ(platform::SystemShortPathApi().GetShortPathNameA(tooLong.c_str(), buffer.data(), 1024),
            1025u);
  EXPECT_EQ(buffer, std::vector<char>(1024, '-'));
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
