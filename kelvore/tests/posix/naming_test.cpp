#include "kelvore/platform/posix/naming.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/tests/temp_folder.h"
#include "kelvore/tool/output_path.h"

namespace kelvore {
namespace {

using testkit::ReadFileBytes;
using testkit::TempFolder;
using testkit::WriteFileBytes;

using Bytes = std::vector<std::byte>;
using Strings = std::vector<std::string>;

const Bytes kImage{std::byte{'g'}, std::byte{'c'}, std::byte{'m'}};

// A call that fails with `error`, as a file system that refuses it does.
std::function<int(const char*, const char*)> Refused(int error, bool* called = nullptr) {
  return [error, called](const char*, const char*) {
    if (called != nullptr) *called = true;
    errno = error;
    return -1;
  };
}

// A file system that refuses the no-replace rename and hard links as given; its plain
// rename is the system's, unless a test replaces that too.
NamingCalls Refusing(int rename_error, int link_error) {
  NamingCalls calls = SystemNamingCalls();
  calls.rename_no_replace = Refused(rename_error);
  calls.link = Refused(link_error);
  return calls;
}

// Writes the image as `final_path`.part, names it `final_path` through `calls` and returns
// what naming threw ("" when it succeeded); the unfinished file goes with the output.
std::string WriteAndName(const std::string& final_path, const NamingCalls& calls) {
  const auto output = CreateOutputFile(PartPathFor(final_path), calls);
  output->WriteAt(0, kImage);
  output->Flush();
  try {
    output->CommitAs(final_path);
  } catch (const IoError& error) {
    return error.what();
  }
  return "";
}

struct Refusal {
  int rename_error;
  int link_error;
};

class RefusingFileSystem : public ::testing::TestWithParam<Refusal> {};

// exFAT through FUSE has neither a no-replace rename nor hard links: the image still takes
// its final name, a file that has that name already is never replaced, and nothing else is
// left behind.
TEST_P(RefusingFileSystem, TheImageTakesItsFinalNameButNeverReplacesAFile) {
  TempFolder folder;
  const std::string final_path = folder.PathOf("out.gcm");
  const NamingCalls calls = Refusing(GetParam().rename_error, GetParam().link_error);
  EXPECT_EQ(WriteAndName(final_path, calls), "");
  EXPECT_EQ(folder.Entries(), Strings{"out.gcm"});
  EXPECT_EQ(ReadFileBytes(final_path), kImage);

  const Bytes precious{std::byte{9}};
  WriteFileBytes(final_path, precious);
  EXPECT_EQ(WriteAndName(final_path, calls), OutputExistsMessage(final_path));
  EXPECT_EQ(folder.Entries(), Strings{"out.gcm"});
  EXPECT_EQ(ReadFileBytes(final_path), precious);
}

INSTANTIATE_TEST_SUITE_P(EachRefusal, RefusingFileSystem,
                         ::testing::Values(Refusal{EINVAL, EPERM}, Refusal{ENOSYS, ENOTSUP},
                                           Refusal{ENOTSUP, ENOSYS}, Refusal{EINVAL, EMLINK}));

// The name is reserved as an empty file first. When the rename over it fails, that file
// goes, but only while it is still the empty one this run created.
TEST(RefusingFileSystem, AFailedRenameRemovesTheReservedNameOnlyWhileItIsOurs) {
  TempFolder folder;
  const std::string final_path = folder.PathOf("out.gcm");
  const std::string renaming = "Renaming " + PartPathFor(final_path) + " to " + final_path +
                               " failed: " + std::strerror(EIO) + ".";
  NamingCalls calls = Refusing(EINVAL, EPERM);

  calls.rename = Refused(EIO);
  EXPECT_EQ(WriteAndName(final_path, calls),
            renaming + " The empty file reserved for the image under that name was removed.");
  EXPECT_TRUE(folder.Entries().empty());

  calls.unlink = [](const char*) {
    errno = EACCES;
    return -1;
  };
  EXPECT_EQ(WriteAndName(final_path, calls),
            renaming +
                " The empty file reserved for the image under that name could not be "
                "removed (" +
                std::strerror(EACCES) + "): remove " + final_path + " yourself.");
  EXPECT_EQ(folder.Entries(), Strings{"out.gcm"});
  std::filesystem::remove(final_path);
  calls.unlink = ::unlink;

  const std::string left_alone =
      renaming + " " + final_path +
      " is no longer the empty file reserved for the image, so it was left as it is.";
  // Another program puts an empty file of its own in the placeholder's place.
  calls.rename = [&](const char*, const char* to) {
    WriteFileBytes(folder.PathOf("theirs"), {});
    std::filesystem::rename(folder.PathOf("theirs"), to);
    errno = EIO;
    return -1;
  };
  EXPECT_EQ(WriteAndName(final_path, calls), left_alone);
  EXPECT_EQ(folder.Entries(), Strings{"out.gcm"});
  std::filesystem::remove(final_path);

  // Another program writes into the placeholder itself.
  calls.rename = [](const char*, const char* to) {
    WriteFileBytes(to, kImage);
    errno = EIO;
    return -1;
  };
  EXPECT_EQ(WriteAndName(final_path, calls), left_alone);
  EXPECT_EQ(ReadFileBytes(final_path), kImage);
}

// Where hard links work, the image is linked to its final name and its unfinished name
// removed; when that removal fails, the image is complete and both names stay, as the
// message says.
TEST(RefusingFileSystem, AnUnfinishedNameThatCannotBeRemovedAfterLinkingIsKept) {
  TempFolder folder;
  const std::string final_path = folder.PathOf("out.gcm");
  NamingCalls calls = SystemNamingCalls();
  calls.rename_no_replace = Refused(EINVAL);
  calls.unlink = [](const char*) {
    errno = EBUSY;
    return -1;
  };
  EXPECT_EQ(WriteAndName(final_path, calls),
            LeftoverPartMessage(final_path, PartPathFor(final_path), std::strerror(EBUSY)));
  EXPECT_EQ(folder.Entries(), (Strings{"out.gcm", "out.gcm.part"}));
  EXPECT_EQ(ReadFileBytes(final_path), kImage);
}

// Only the refusals above make the naming try another way; other failures are reported as
// they are, and nothing is reserved.
TEST(RefusingFileSystem, OtherFailuresAreReportedWithoutTryingAnotherWay) {
  TempFolder folder;
  const std::string final_path = folder.PathOf("out.gcm");
  const std::string failed = "Renaming " + PartPathFor(final_path) + " to " + final_path +
                             " failed: " + std::strerror(EACCES) + ".";
  bool linked = false;
  NamingCalls calls = Refusing(EACCES, EPERM);
  calls.link = Refused(EPERM, &linked);
  EXPECT_EQ(WriteAndName(final_path, calls), failed);
  EXPECT_FALSE(linked);

  EXPECT_EQ(WriteAndName(final_path, Refusing(ENOTSUP, EACCES)), failed);
  EXPECT_TRUE(folder.Entries().empty());
}

}  // namespace
}  // namespace kelvore
