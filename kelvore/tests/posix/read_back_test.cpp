#include "kelvore/platform/posix/read_back.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "kelvore/platform/file_system.h"
#include "kelvore/tests/temp_folder.h"
#include "platform/posix/unique_descriptor.h"

namespace kelvore {
namespace {

using platform::posix::UniqueDescriptor;
using testkit::TempFolder;
using testkit::WriteFileBytes;

using Bytes = std::vector<std::byte>;

// FUSE file systems and ZFS before 2.3 answer direct reads from caches of their own.
TEST(HasCacheOutOfSight, OnFuseAndOnZfsBeforeItsDirectReads) {
  const auto loaded = [](std::optional<std::string> version) {
    return [version] { return version; };
  };
  constexpr std::uint64_t kExt4 = 0xEF53;
  EXPECT_TRUE(HasCacheOutOfSight(kFuseMagic, loaded(std::nullopt)));
  EXPECT_FALSE(HasCacheOutOfSight(kExt4, loaded(std::nullopt)));
  for (const char* old : {"0.8.6-1", "2.2.4-1ubuntu1", "2.1", "2", "zfs", ""}) {
    EXPECT_TRUE(HasCacheOutOfSight(kZfsMagic, loaded(old))) << old;
  }
  EXPECT_TRUE(HasCacheOutOfSight(kZfsMagic, loaded(std::nullopt)));
  for (const char* recent : {"2.3.0-1", "2.10.1", "3.0.0\n"}) {
    EXPECT_FALSE(HasCacheOutOfSight(kZfsMagic, loaded(recent))) << recent;
  }
}

std::size_t PageSize() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }

// A file of 15 pages and a bit, flushed and dropped from the page cache. Skips the test where
// the temporary folder's file system keeps its pages all the same (tmpfs, say).
UniqueDescriptor DroppedFile(const std::string& path) {
  WriteFileBytes(path, Bytes(15 * PageSize() + 100, std::byte{7}));
  UniqueDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  EXPECT_TRUE(file);
  EXPECT_EQ(fsync(file.Get()), 0);
  posix_fadvise(file.Get(), 0, 0, POSIX_FADV_DONTNEED);
  return file;
}

// The page cache is looked at a window at a time: a page read again is seen in any window,
// the last and partial one too.
TEST(NoPageCached, SeesAPageReadAgainInAnyWindow) {
  TempFolder folder;
  const std::size_t page = PageSize();
  for (const std::size_t read_at : {page + 1, 9 * page, 15 * page + 50}) {
    SCOPED_TRACE(read_at);
    const UniqueDescriptor file = DroppedFile(folder.PathOf("image.part"));
    if (!NoPageCached(file.Get(), 2 * page)) {
      GTEST_SKIP() << "the temporary folder keeps a file's pages after they are dropped";
    }
    posix_fadvise(file.Get(), 0, 0, POSIX_FADV_RANDOM);  // no read-ahead: that page only
    std::byte byte{};
    ASSERT_EQ(pread(file.Get(), &byte, 1, static_cast<off_t>(read_at)), 1);
    EXPECT_FALSE(NoPageCached(file.Get(), 2 * page));
    EXPECT_FALSE(NoPageCached(file.Get()));
    std::filesystem::remove(folder.PathOf("image.part"));
  }
}

// Dropping the cache is advice: a page that another program has mapped stays, and a
// read-back that could meet it says it is best effort.
TEST(OpenReadBackFile, IsBestEffortWhileAPageOfTheFileStaysCached) {
  TempFolder folder;
  const std::string path = folder.PathOf("out.gcm.part");
  const auto output = CreateOutputFile(path);
  output->SetSize(0x10000);
  output->WriteAt(0x8000, Bytes(3, std::byte{1}));
  output->Flush();
  if (!output->OpenReadBack()->BypassesCache()) {
    GTEST_SKIP() << "the temporary folder cannot be read around the cache";
  }
  const UniqueDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  void* const mapping = mmap(nullptr, 0x10000, PROT_READ, MAP_SHARED, file.Get(), 0);
  ASSERT_NE(mapping, MAP_FAILED);
  const std::byte mapped = static_cast<const volatile std::byte*>(mapping)[0x8001];
  EXPECT_EQ(mapped, std::byte{1});
  EXPECT_FALSE(output->OpenReadBack()->BypassesCache());
  munmap(mapping, 0x10000);
}

}  // namespace
}  // namespace kelvore
