#include "kelvore/platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kelvore/disc/errors.h"
#include "kelvore/platform/arguments.h"
#include "kelvore/tests/temp_folder.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#else
#include <sys/stat.h>
#endif

namespace kelvore {
namespace {

using testkit::ReadFileBytes;
using testkit::ReadFileRange;
using testkit::TempFolder;
using testkit::WriteFileBytes;

using Bytes = std::vector<std::byte>;
using Strings = std::vector<std::string>;

const Bytes kAbc{std::byte{'a'}, std::byte{'b'}, std::byte{'c'}};

TEST(OutputFile, WritesAtOffsetsKeepsZerosBetweenAndTakesItsFinalName) {
  TempFolder folder;
  const std::string final_path = folder.PathOf("out.gcm");
  {
    const auto output = CreateOutputFile(final_path + ".part");
    output->WriteAt(100'000, kAbc);
    output->SetSize(std::uint64_t{1} << 30);
    output->Flush();
    Bytes readback(5);
    output->ReadAt(99'998, readback);
    EXPECT_EQ(readback, (Bytes{std::byte{0}, std::byte{0}, kAbc[0], kAbc[1], kAbc[2]}));
    output->CommitAs(final_path);
  }
  EXPECT_EQ(folder.Entries(), Strings{"out.gcm"});
  EXPECT_EQ(testkit::FileSize(final_path), std::uint64_t{1} << 30);
  EXPECT_EQ(ReadFileRange(final_path, 100'000, 3), kAbc);
#ifndef _WIN32
  struct stat status {};
  ASSERT_EQ(stat(final_path.c_str(), &status), 0);
  EXPECT_LT(status.st_blocks * 512, 1024 * 1024) << "the zero areas were written out";
#endif
}

TEST(OutputFile, CommitNeverReplacesAFileThatAppearedMeanwhile) {
  TempFolder folder;
  const std::string final_path = folder.PathOf("out.gcm");
  const Bytes precious{std::byte{9}};
  {
    const auto output = CreateOutputFile(final_path + ".part");
    output->WriteAt(0, kAbc);
    WriteFileBytes(final_path, precious);
    EXPECT_THROW(output->CommitAs(final_path), IoError);
  }
  EXPECT_EQ(ReadFileBytes(final_path), precious);
  EXPECT_EQ(folder.Entries(), Strings{"out.gcm"});
}

TEST(OutputFile, DisappearsUnlessCommitted) {
  TempFolder folder;
  CreateOutputFile(folder.PathOf("out.gcm.part"))->WriteAt(0, kAbc);
  EXPECT_TRUE(folder.Entries().empty());
}

TEST(SourceImage, ReportsAFileThatEndsEarlierThanItsSize) {
  TempFolder folder;
  WriteFileBytes(folder.PathOf("short.gcm"), kAbc);
  const auto source = OpenSourceImage(folder.PathOf("short.gcm"));
  EXPECT_EQ(source->Size(), 3u);
  Bytes out(2);
  source->ReadAt(1, out);
  EXPECT_EQ(out, (Bytes{kAbc[1], kAbc[2]}));
  try {
    Bytes beyond(4);
    source->ReadAt(1, beyond);
    ADD_FAILURE() << "read past the end";
  } catch (const IoError& error) {
    EXPECT_NE(std::string(error.what()).find("ended early"), std::string::npos) << error.what();
  }
}

std::string OpenFailure(const std::string& path) {
  try {
    OpenSourceImage(path);
  } catch (const IoError& error) {
    return error.what();
  }
  return "opened";
}

// Windows and POSIX report these differently, or in terms that leave the user guessing.
TEST(SourceImage, SaysWhatAnInputThatIsNoImageFileIs) {
  TempFolder folder;
  const std::string games = folder.PathOf("games");
  std::filesystem::create_directory(games);
  EXPECT_EQ(OpenFailure(games), games + " is a folder, not a disc image file.");
#ifdef _WIN32
  const std::string device = "\\\\.\\NUL";
  EXPECT_EQ(OpenFailure(ResolvePath("NUL")), device + " is a device, not a disc image file.");

  const std::string locked = folder.PathOf("locked.gcm");
  WriteFileBytes(locked, kAbc);
  const platform::win32::UniqueFileHandle writer(CreateFileW(platform::win32::Widen(locked).c_str(),
                                                             GENERIC_WRITE, FILE_SHARE_READ,
                                                             nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writer);
  EXPECT_NE(OpenFailure(locked).find("another program is using it and keeps others from reading "
                                     "it (sharing violation)"),
            std::string::npos)
      << OpenFailure(locked);
#else
  EXPECT_EQ(OpenFailure("/dev/null"), "/dev/null is a device, not a disc image file.");
#endif
}

#ifndef _WIN32
// "link/.." is the folder above where the link leads, not the folder holding the link.
TEST(ResolvePath, KeepsTheDotsThatOnlyTheSystemCanResolve) {
  TempFolder folder;
  std::filesystem::create_directories(folder.PathOf("real/sub"));
  std::filesystem::create_directory_symlink(folder.PathOf("real/sub"), folder.PathOf("link"));
  WriteFileBytes(folder.PathOf("real/game.gcm"), kAbc);
  WriteFileBytes(folder.PathOf("game.gcm"), Bytes(5));
  const std::string through_link = folder.PathOf("link/../game.gcm");
  EXPECT_EQ(ResolvePath(through_link), through_link);
  EXPECT_EQ(OpenSourceImage(ResolvePath(through_link))->Size(), kAbc.size());
}
#endif

}  // namespace
}  // namespace kelvore
