#include "kelvore/platform/file_system.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kelvore/disc/errors.h"
#include "kelvore/tests/temp_folder.h"

#ifndef _WIN32
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

}  // namespace
}  // namespace kelvore
