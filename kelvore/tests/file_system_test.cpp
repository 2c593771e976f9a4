#include "kelvore/platform/file_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/platform/arguments.h"
#include "kelvore/platform/process_start.h"
#include "kelvore/tests/temp_folder.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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
    output->SetSize(std::uint64_t{1} << 30);
    output->WriteAt(100'000, kAbc);
    output->Flush();
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

// A buffer of `size` bytes at an address that is a multiple of `alignment`.
std::span<std::byte> AlignedIn(std::vector<std::byte>& storage, std::size_t size,
                               std::size_t alignment) {
  storage.resize(size + alignment);
  void* start = storage.data();
  std::size_t space = storage.size();
  return {static_cast<std::byte*>(std::align(alignment, size, start, space)), size};
}

struct ReadBack {
  Bytes bytes;
  bool bypassed_cache;
};

// Reads `size` bytes from the start of a flushed output through its read-back.
ReadBack ReadBackStart(OutputFile& output, std::size_t size) {
  const auto reader = output.OpenReadBack();
  for (const std::size_t alignment : {reader->SectorSize(), reader->BufferAlignment()}) {
    EXPECT_GE(alignment, 4096u);
    EXPECT_EQ(32768 % alignment, 0u);
  }
  EXPECT_EQ(reader->Size(), size);
  std::vector<std::byte> storage;
  const std::span<std::byte> block = AlignedIn(storage, size, reader->BufferAlignment());
  reader->ReadAt(0, block);
  return {{block.begin(), block.end()}, reader->BypassesCache()};
}

#ifdef _WIN32
bool TakesDirectReads(const std::string&) { return true; }
#else
// Whether the file system holding `path` takes direct reads: tmpfs before Linux 6.6 and ZFS
// before 0.8 refuse them.
bool TakesDirectReads(const std::string& path) {
  const int direct = open(path.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC);
  if (direct < 0) return false;
  close(direct);
  return true;
}
#endif

TEST(OutputFile, ReadsBackWhatWasFlushedInSectorAlignedBlocks) {
  TempFolder folder;
  const std::string path = folder.PathOf("out.gcm.part");
  const auto output = CreateOutputFile(path);
  output->SetSize(0x10000);
  output->WriteAt(0x8001, kAbc);
  output->StartWriteBack(0x8001, 3);
  output->WaitForWriteBack(0x8001, 3);
  output->Flush();
  Bytes expected(0x10000);
  std::copy(kAbc.begin(), kAbc.end(), expected.begin() + 0x8001);
  const ReadBack read_back = ReadBackStart(*output, 0x10000);
  EXPECT_EQ(read_back.bytes, expected);
  if (!TakesDirectReads(path)) GTEST_SKIP() << "the temporary folder refuses direct reads";
  EXPECT_TRUE(read_back.bypassed_cache);
}

// A CISO file is given the most it could take first and cut to its size at the end.
TEST(OutputFile, ShrinksToASmallerSizeThatTheReadBackTells) {
  TempFolder folder;
  const auto output = CreateOutputFile(folder.PathOf("out.ciso.part"));
  output->SetSize(0x20000);
  output->WriteAt(0x4000, kAbc);
  output->WriteAt(0x18000, kAbc);
  output->SetSize(0x10000);
  output->Flush();
  Bytes expected(0x10000);
  std::copy(kAbc.begin(), kAbc.end(), expected.begin() + 0x4000);
  EXPECT_EQ(ReadBackStart(*output, 0x10000).bytes, expected);
}

#ifndef _WIN32
// A read that bypasses the cache goes straight to the storage, which takes whole sectors
// into aligned memory only: an unaligned buffer is refused, as it is by Windows.
TEST(OutputFile, TheReadBackGoesPastTheCacheAndTakesAlignedBuffersOnly) {
  TempFolder folder;
  const std::string path = folder.PathOf("out.gcm.part");
  const auto output = CreateOutputFile(path);
  output->SetSize(0x10000);
  output->WriteAt(0, kAbc);
  output->Flush();
  if (!TakesDirectReads(path)) GTEST_SKIP() << "the temporary folder refuses direct reads";
  const auto reader = output->OpenReadBack();
  ASSERT_TRUE(reader->BypassesCache());
  std::vector<std::byte> storage;
  const std::span<std::byte> aligned = AlignedIn(storage, 0x2000, reader->BufferAlignment());
  EXPECT_THROW(reader->ReadAt(0, aligned.subspan(1, 0x1000)), IoError);
  reader->ReadAt(0, aligned.first(0x1000));
  EXPECT_EQ(aligned[2], kAbc[2]);
}

// tmpfs keeps files in memory only. Before Linux 6.6 it refuses direct reads; since, it takes
// them and reads its memory all the same. Either way the read-back says it is best effort.
TEST(OutputFile, ReadsBackFromAFileSystemInMemoryAsBestEffort) {
  struct stat shm {};
  if (stat("/dev/shm", &shm) != 0 || !S_ISDIR(shm.st_mode)) GTEST_SKIP() << "no /dev/shm";
  const std::string path = "/dev/shm/kelvore-test-" + std::to_string(getpid()) + ".part";
  const auto output = CreateOutputFile(path);
  output->SetSize(0x8000);
  output->WriteAt(0, kAbc);
  output->Flush();
  Bytes expected(0x8000);
  std::copy(kAbc.begin(), kAbc.end(), expected.begin());
  const ReadBack read_back = ReadBackStart(*output, 0x8000);
  EXPECT_EQ(read_back.bytes, expected);
  EXPECT_FALSE(read_back.bypassed_cache);
}
#endif

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

// The source is known by what it is, under any of its names, and on POSIX, where others may
// write it while it is open, a change of its last-write time is noticed.
TEST(SourceImage, KnowsItselfUnderAnyNameAndNoticesAChange) {
  TempFolder folder;
  const std::string image = folder.PathOf("Disc One.gcm");
  WriteFileBytes(image, kAbc);
  WriteFileBytes(folder.PathOf("other.gcm"), kAbc);
  std::filesystem::create_hard_link(image, folder.PathOf("linked.gcm"));
  const auto source = OpenSourceImage(image);
  EXPECT_TRUE(source->IsFileAt(image));
  EXPECT_TRUE(source->IsFileAt(folder.PathOf("linked.gcm")));
  EXPECT_FALSE(source->IsFileAt(folder.PathOf("other.gcm")));
  EXPECT_FALSE(source->IsFileAt(folder.PathOf("absent.gcm")));
#ifdef _WIN32
  wchar_t short_path[MAX_PATH];
  ASSERT_GT(GetShortPathNameW(platform::win32::Widen(image).c_str(), short_path, MAX_PATH), 0u);
  EXPECT_TRUE(source->IsFileAt(platform::win32::Narrow(short_path)));
#endif
  EXPECT_FALSE(source->ChangedSinceOpened());
#ifndef _WIN32
  std::filesystem::last_write_time(image,
                                   std::filesystem::last_write_time(image) + std::chrono::hours(1));
  EXPECT_TRUE(source->ChangedSinceOpened());
#endif
}

// A change that leaves the size and the last-write time as they were still moves the
// status-change time: here a change of the file's permissions (on Windows, of its
// read-only attribute), which Windows allows while the file is open here.
TEST(SourceImage, NoticesAChangeThatKeepsTheSizeAndTheLastWriteTime) {
  TempFolder folder;
  const std::string image = folder.PathOf("x.gcm");
  WriteFileBytes(image, kAbc);
  const auto source = OpenSourceImage(image);
  const auto written = std::filesystem::last_write_time(image);
  // Past the file system clock's tick, so that the status-change time moves.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::filesystem::permissions(image, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_EQ(std::filesystem::last_write_time(image), written);
  EXPECT_TRUE(source->ChangedSinceOpened());
  std::filesystem::permissions(image, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
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

#ifdef _WIN32
// A parent may pass a standard handle that is not open here; its number would be free for
// the tool's own files, and the tool's output could land in them.
TEST(PrepareProcess, DropsAStandardHandleThatIsNotOpenAndKeepsTheOthers) {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_ERROR_HANDLE, reinterpret_cast<HANDLE>(std::uintptr_t{0x3FFFFC}));
  EXPECT_TRUE(PrepareProcess());
  EXPECT_EQ(GetStdHandle(STD_ERROR_HANDLE), nullptr);
  EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), output);
  SetStdHandle(STD_ERROR_HANDLE, error);
}
#endif

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
