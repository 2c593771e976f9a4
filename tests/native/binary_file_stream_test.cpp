#include "support/binary_file_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <vector>

#include "doubles/memory_files.h"
#include "platform/directory_search.h"
#include "platform/executable.h"
#include "platform/file_attributes.h"
#include "platform/posix/errno_error.h"
#include "support/error.h"
#include "temp_folder.h"

namespace {

using corvane::cBinaryFileStream;
using Bytes = std::vector<std::uint8_t>;

// Expects `action` to raise error `number` from the stream ("<prefix>.File").
template <typename Action>
void ExpectStreamError(Action action, std::int32_t number, const std::string& source) {
  try {
    action();
    FAIL() << "expected error " << number;
  } catch (const corvane::Error& error) {
    EXPECT_EQ(error.Number(), number);
    EXPECT_EQ(error.Source(), source);
  }
}

// The stream over real files of this system.
class BinaryFileStreamOnDisk : public testing::Test {
 protected:
  testing_support::TempFolder folder;
  cBinaryFileStream stream;
  const std::string source = platform::SystemExecutable().Name() + ".File";
};

TEST_F(BinaryFileStreamOnDisk, FreshStreamHasNoNameAndLengthZero) {
  EXPECT_EQ(stream.file(), "");
  EXPECT_EQ(stream.Length(), 0);
}

TEST_F(BinaryFileStreamOnDisk, MissingFileRaises53AndKeepsTheNewNameAndOldLength) {
  stream.file(folder.File("first.gcm", Bytes(7)));
  const std::string missing = folder.Path("missing.gcm");
  ExpectStreamError([&] { stream.file(missing); }, 53, source);
  EXPECT_EQ(stream.file(), missing);
  EXPECT_EQ(stream.Length(), 7);
  // An empty name is no pattern at all: the search refuses it.
  ExpectStreamError([&] { stream.file(""); }, 5, source);
}

TEST_F(BinaryFileStreamOnDisk, HiddenFilesAndFoldersAreNotFound) {
  const std::string hidden = folder.File(".hidden.gcm", Bytes(3));
  ExpectStreamError([&] { stream.file(hidden); }, 53, source);
  ExpectStreamError([&] { stream.file(folder.Path("")); }, 53, source);
}

TEST_F(BinaryFileStreamOnDisk, ReadsTenBytesInChunksOfFourThenReportsTheEnd) {
  stream.file(folder.File("ten.bin", testing_support::CountingBytes(10)));
  Bytes buffer(4, 0xEE);
  EXPECT_EQ(stream.Read(buffer, 4), 4);
  EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(stream.Read(buffer, 4), 4);
  EXPECT_EQ(buffer, (Bytes{5, 6, 7, 8}));
  EXPECT_EQ(stream.Read(buffer, 4), 2);
  EXPECT_EQ(buffer, (Bytes{9, 10, 7, 8})) << "elements past the remainder keep their contents";
  EXPECT_EQ(stream.Read(buffer, 4), 0);
  EXPECT_EQ(stream.Read(buffer, 4), 0);
}

TEST_F(BinaryFileStreamOnDisk, ReadEndingExactlyAtTheEndTakesTheRemainderPath) {
  stream.file(folder.File("eight.bin", testing_support::CountingBytes(8)));
  Bytes buffer(4);
  EXPECT_EQ(stream.Read(buffer, 4), 4);
  EXPECT_EQ(stream.Read(buffer, 4), 4);
  EXPECT_EQ(buffer, (Bytes{5, 6, 7, 8}));
  EXPECT_EQ(stream.Read(buffer, 4), 0);
}

TEST_F(BinaryFileStreamOnDisk, EmptyFileOpensWithLengthZeroAndReadsNothing) {
  stream.file(folder.File("empty.gcm", {}));
  EXPECT_EQ(stream.Length(), 0);
  Bytes buffer(4, 9);
  EXPECT_EQ(stream.Read(buffer, 4), 0);
  EXPECT_EQ(buffer, Bytes(4, 9));
}

TEST_F(BinaryFileStreamOnDisk, RepointingAfterAPartialReadStartsTheNewFileAtItsFirstByte) {
  stream.file(folder.File("a.bin", Bytes(10, 0xAA)));
  Bytes buffer(4);
  stream.Read(buffer, 4);
  stream.file(folder.File("b.bin", testing_support::CountingBytes(6)));
  EXPECT_EQ(stream.Length(), 6);
  EXPECT_EQ(stream.Read(buffer, 4), 4);
  EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(stream.Read(buffer, 4), 2);
}

TEST_F(BinaryFileStreamOnDisk, FileOfMoreThan2GiBReportsTheLargestLengthAndItsExactSize) {
  stream.file(folder.SparseFile("dvd.iso", 4'699'979'776));
  EXPECT_EQ(stream.Length(), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(stream.ExactLength(), 4'699'979'776);
}

// A descriptor of the file's own that tries to take the lock a writer would; flock
// locks taken through different descriptors meet as another process's would.
class WriterLock {
 public:
  explicit WriterLock(const std::string& path) : descriptor_(::open(path.c_str(), O_RDWR)) {}
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;
  ~WriterLock() { ::close(descriptor_); }
  // 0 when the exclusive lock was taken, else the reason it was refused.
  int TryLock() { return ::flock(descriptor_, LOCK_EX | LOCK_NB) == 0 ? 0 : errno; }

 private:
  int descriptor_;
};

TEST_F(BinaryFileStreamOnDisk, TwoStreamsReadOneImageAtOnceWhileAWriterIsRefused) {
  const std::string image = folder.File("disc.gcm", Bytes(5));
  stream.file(image);
  cBinaryFileStream second;
  second.file(image);
  EXPECT_EQ(second.Length(), 5);
  WriterLock writer(image);
  EXPECT_EQ(writer.TryLock(), EWOULDBLOCK);
  stream.Dispose();
  EXPECT_EQ(writer.TryLock(), EWOULDBLOCK) << "the second stream still holds the image";
  second.Dispose();
  EXPECT_EQ(writer.TryLock(), 0) << "closed streams hold nothing";
}

TEST_F(BinaryFileStreamOnDisk, AnImageLockedByAWriterRaises70FromTheOpen) {
  const std::string image = folder.File("disc.gcm", Bytes(5));
  WriterLock writer(image);
  ASSERT_EQ(writer.TryLock(), 0);
  // The open's own error: it names the program, not the stream.
  ExpectStreamError([&] { stream.file(image); }, 70, platform::SystemExecutable().Name());
}

TEST_F(BinaryFileStreamOnDisk, AFolderIsToldFromAFileByTheSearchItself) {
  std::filesystem::create_directory(folder.Path("folder.gcm"));
  ExpectStreamError([&] { stream.file(folder.Path("folder.gcm")); }, 53, source);
  platform::DirectorySearch& search = platform::SystemDirectorySearch();
  EXPECT_EQ(search.FirstMatch(folder.Path("*.gcm"), platform::attribute::kNormal), "");
  EXPECT_EQ(search.FirstMatch(folder.Path("*.gcm"), platform::attribute::kDirectory), "folder.gcm");
  folder.File("disc.gcm", Bytes(1));
  EXPECT_EQ(search.FirstMatch(folder.Path("*.gcm"), platform::attribute::kNormal), "disc.gcm");
  // Nor does the opener take a folder for a file.
  ExpectStreamError(
      [&] { platform::SystemFileOpener().OpenForBinaryRead(folder.Path("folder.gcm")); }, 52,
      platform::SystemExecutable().Name());
}

TEST(PosixExecutable, NamesTheTestProgramAndTheFolderItLiesIn) {
  const platform::Executable& executable = platform::SystemExecutable();
  EXPECT_EQ(executable.Name(), "support_tests");
  EXPECT_TRUE(std::filesystem::is_regular_file(executable.Folder() + "/support_tests"));
  EXPECT_FALSE(executable.Folder().ends_with('/'));
}

// The numbers the POSIX layer raises for the system's reasons, with the path and the
// system's own text in the description.
TEST(PosixFileErrors, EachReasonRaisesItsNumber) {
  const std::pair<int, std::int32_t> reasons[] = {
      {ENOENT, 53},      {ENOTDIR, 76},      {EACCES, 75}, {EPERM, 75},
      {EWOULDBLOCK, 70}, {EMFILE, 67},       {ENFILE, 67}, {EISDIR, 52},
      {EIO, 57},         {ENAMETOOLONG, 52}, {ENOSPC, 57}, {EINVAL, 57}};
  for (const auto& [reason, number] : reasons) {
    const corvane::Error error = platform::posix::FileError(reason, "/images/disc.gcm");
    EXPECT_EQ(error.Number(), number) << std::strerror(reason);
    EXPECT_EQ(error.Source(), platform::SystemExecutable().Name());
    EXPECT_EQ(error.Description(), corvane::StandardDescription(number) + ": /images/disc.gcm (" +
                                       std::strerror(reason) + ")");
  }
}

// The stream over files in memory, where opening and closing can be watched.
class BinaryFileStreamJournal : public testing::Test {
 protected:
  doubles::MemoryFiles files;
  platform::FileTable table{files};
  cBinaryFileStream stream{table, files, "Corvane"};
};

TEST_F(BinaryFileStreamJournal, SecondFileIsSearchedOnlyAfterTheFirstIsClosed) {
  files.Add("one", Bytes(3));
  files.Add("two", Bytes(5));
  stream.file("one");
  stream.file("two");
  EXPECT_EQ(files.journal, (std::vector<std::string>{"search one", "open one", "close one",
                                                     "search two", "open two"}));
}

TEST_F(BinaryFileStreamJournal, DestroyingTheStreamClosesItsFile) {
  files.Add("one", Bytes(3));
  {
    cBinaryFileStream scoped(table, files, "Corvane");
    scoped.file("one");
    EXPECT_EQ(files.OpenCount(), 1);
  }
  EXPECT_EQ(files.OpenCount(), 0);
}

TEST_F(BinaryFileStreamJournal, AReadThatFindsNothingLeftClosesTheFile) {
  files.Add("ten", Bytes(10));
  stream.file("ten");
  Bytes buffer(4);
  stream.Read(buffer, 4);
  stream.Read(buffer, 4);
  EXPECT_EQ(stream.Read(buffer, 4), 2);
  EXPECT_EQ(files.OpenCount(), 1) << "the last chunk leaves the file open";
  EXPECT_EQ(stream.Read(buffer, 4), 0);
  EXPECT_EQ(files.OpenCount(), 0);
  EXPECT_EQ(files.journal.back(), "close ten");
  EXPECT_EQ(table.FreeFile(), 1) << "its number is free again";
  EXPECT_EQ(stream.Read(buffer, 4), 0);
  EXPECT_EQ(stream.file(), "ten");
  EXPECT_EQ(stream.Length(), 10);
}

// A closed stream holds no number: the number its file had may have gone to another
// stream's file since, which closing or repointing the first must leave open.
TEST_F(BinaryFileStreamJournal, AStreamClosedOnceNeverClosesTheNumberAgain) {
  files.Add("empty", {});
  files.Add("ten", testing_support::CountingBytes(10));
  for (const auto close : {+[](cBinaryFileStream& done) { done.Dispose(); },
                           +[](cBinaryFileStream& done) {
                             Bytes nothing(1);
                             done.Read(nothing, 1);  // closes the empty file
                           }}) {
    auto first = std::make_unique<cBinaryFileStream>(table, files, "Corvane");
    first->file("empty");
    close(*first);
    cBinaryFileStream second(table, files, "Corvane");
    second.file("ten");
    first->Dispose();
    first.reset();
    EXPECT_EQ(files.OpenCount(), 1);
    Bytes buffer(4);
    EXPECT_EQ(second.Read(buffer, 4), 4);
    EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4}));
  }
}

TEST_F(BinaryFileStreamJournal, AnEmptyFileIsClosedByTheFirstRead) {
  files.Add("empty", {});
  stream.file("empty");
  Bytes buffer(4);
  EXPECT_EQ(stream.Read(buffer, 4), 0);
  EXPECT_EQ(files.OpenCount(), 0);
}

TEST_F(BinaryFileStreamJournal, AFileWhoseLengthCannotBeTakenIsClosedAgain) {
  files.Add("first", Bytes(7));
  files.Add("unreadable", Bytes(3));
  files.FailLengthOf("unreadable", 57);
  stream.file("first");
  ExpectStreamError([&] { stream.file("unreadable"); }, 57, "test");
  EXPECT_EQ(files.OpenCount(), 0);
  EXPECT_EQ(files.journal.back(), "close unreadable");
  EXPECT_EQ(table.FreeFile(), 1);
  EXPECT_EQ(stream.file(), "unreadable");
  EXPECT_EQ(stream.Length(), 7) << "the length stays the previous file's";
}

// The table of numbered files: numbers 1 to 255, the lowest free one first.
TEST_F(BinaryFileStreamJournal, FileNumbersRunFrom1To255) {
  files.Add("f", Bytes(1));
  const std::string program = platform::SystemExecutable().Name();
  for (std::int16_t number = 1; number <= 254; ++number) table.Open(number, "f");
  EXPECT_EQ(table.FreeFile(), 255);
  table.Open(255, "f");
  ExpectStreamError([&] { table.FreeFile(); }, 67, program);
  ExpectStreamError([&] { stream.file("f"); }, 67, program);
  EXPECT_EQ(files.OpenCount(), 255);
  table.Close(7);
  table.Close(3);
  EXPECT_EQ(table.FreeFile(), 3);
  ExpectStreamError([&] { table.Open(255, "f"); }, 52, program);
  ExpectStreamError([&] { table.Open(0, "f"); }, 52, program);
  ExpectStreamError([&] { table.At(3); }, 52, program);
  table.Close(0);
  table.Close(256);
  EXPECT_EQ(files.OpenCount(), 253);
}

TEST_F(BinaryFileStreamJournal, FailedSearchRaisesItsOwnNumberWithTheStreamsSource) {
  files.FailNextSearch(52);
  ExpectStreamError([&] { stream.file("bad|name"); }, 52, "Corvane.File");
  EXPECT_EQ(files.OpenCount(), 0);
}

TEST_F(BinaryFileStreamJournal, SystemAndHiddenFilesAreNotFound) {
  files.Add("sys", Bytes(1), platform::attribute::kSystem);
  files.Add("readonly", Bytes(1), platform::attribute::kReadOnly | platform::attribute::kArchive);
  ExpectStreamError([&] { stream.file("sys"); }, 53, "Corvane.File");
  stream.file("readonly");
  EXPECT_EQ(stream.Length(), 1);
}

TEST_F(BinaryFileStreamJournal, PositionOverflowRaises6BeforeAnyRead) {
  files.AddWithLength("huge", std::numeric_limits<std::int32_t>::max(), Bytes(1));
  stream.file("huge");
  Bytes buffer(1);
  EXPECT_EQ(stream.Read(buffer, 1), 1);
  ExpectStreamError([&] { stream.Read(buffer, std::numeric_limits<std::int32_t>::max()); }, 6,
                    "Corvane.File");
}

TEST_F(BinaryFileStreamJournal, BufferSmallerThanTheChunkRaises9InsteadOfOverrunning) {
  files.Add("ten", Bytes(10));
  stream.file("ten");
  Bytes small(2);
  ExpectStreamError([&] { stream.Read(small, 4); }, 9, "Corvane.File");
  Bytes empty;
  stream.file("ten");
  Bytes four(4);
  stream.Read(four, 4);
  stream.Read(four, 4);
  ExpectStreamError([&] { stream.Read(empty, 4); }, 9, "Corvane.File");
}

TEST_F(BinaryFileStreamJournal, ARefusedLastChunkConsumesNothing) {
  files.Add("ten", testing_support::CountingBytes(10));
  stream.file("ten");
  Bytes four(4);
  stream.Read(four, 4);
  stream.Read(four, 4);
  Bytes small(1);
  ExpectStreamError([&] { stream.Read(small, 4); }, 9, "Corvane.File");
  EXPECT_EQ(stream.Read(four, 4), 2);
  EXPECT_EQ(four, (Bytes{9, 10, 7, 8}));
}

TEST_F(BinaryFileStreamJournal, ABufferExactlyAsLargeAsTheLastChunkTakesIt) {
  files.Add("ten", testing_support::CountingBytes(10));
  stream.file("ten");
  Bytes eight(8);
  EXPECT_EQ(stream.Read(eight, 8), 8);
  Bytes two(2);
  EXPECT_EQ(stream.Read(two, 4), 2);
  EXPECT_EQ(two, (Bytes{9, 10}));
}

TEST_F(BinaryFileStreamJournal, LengthsUpToTheLargest32BitValueAreExact) {
  files.AddWithLength("largest", std::numeric_limits<std::int32_t>::max());
  files.AddWithLength("2GiB", std::int64_t{1} << 31);
  stream.file("largest");
  EXPECT_EQ(stream.Length(), std::numeric_limits<std::int32_t>::max());
  stream.file("2GiB");
  EXPECT_EQ(stream.Length(), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(stream.ExactLength(), std::int64_t{1} << 31);
}

TEST_F(BinaryFileStreamJournal, ReadSizeBelowOneIsRefusedWithError5) {
  files.Add("ten", Bytes(10));
  stream.file("ten");
  Bytes buffer(4);
  ExpectStreamError([&] { stream.Read(buffer, 0); }, 5, "Corvane.File");
}

}  // namespace
