#include "support/binary_file_stream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "doubles/memory_files.h"
#include "platform/executable.h"
#include "platform/file_attributes.h"
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

TEST_F(BinaryFileStreamJournal, ReadSizeBelowOneIsRefusedWithError5) {
  files.Add("ten", Bytes(10));
  stream.file("ten");
  Bytes buffer(4);
  ExpectStreamError([&] { stream.Read(buffer, 0); }, 5, "Corvane.File");
}

}  // namespace
