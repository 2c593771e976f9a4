#include "kelvore/platform/posix/read_back.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>
#include <vector>

#include "kelvore/platform/posix/posix_io.h"
#include "kelvore/tool/read_back_alignment.h"
#include "platform/posix/unique_descriptor.h"

namespace kelvore {
namespace {

using platform::posix::UniqueDescriptor;

class ReadBackFile : public StorageReader {
 public:
  ReadBackFile(UniqueDescriptor fd, std::string path, DirectReadAlignment alignment,
               bool bypasses_cache)
      : fd_(std::move(fd)),
        path_(std::move(path)),
        alignment_(alignment),
        bypasses_cache_(bypasses_cache) {}

  std::size_t SectorSize() const override { return alignment_.offsets; }
  std::size_t BufferAlignment() const override { return alignment_.buffers; }
  bool BypassesCache() const override { return bypasses_cache_; }
  std::uint64_t Size() const override {
    struct stat status {};
    if (fstat(fd_.Get(), &status) != 0) {
      throw IoError("Cannot tell the size of " + Printable(path_) + " to verify it: " + Reason());
    }
    return static_cast<std::uint64_t>(status.st_size);
  }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) override {
    ReadExactly(fd_.Get(), offset, out, path_);
  }

 private:
  UniqueDescriptor fd_;
  std::string path_;
  DirectReadAlignment alignment_;
  bool bypasses_cache_;
};

// ZFS 2.3 and later read O_DIRECT files from the disks rather than from their cache.
bool ZfsReadsDirectly(const std::string& version) {
  int major = 0, minor = 0;
  const char* const end = version.data() + version.size();
  const auto [after_major, major_error] = std::from_chars(version.data(), end, major);
  if (major_error != std::errc() || after_major == end || *after_major != '.') return false;
  const auto [after_minor, minor_error] = std::from_chars(after_major + 1, end, minor);
  if (minor_error != std::errc()) return false;
  return major > 2 || (major == 2 && minor >= 3);
}

std::optional<std::string> LoadedZfsVersion() {
  std::FILE* const file = std::fopen("/sys/module/zfs/version", "re");
  if (file == nullptr) return std::nullopt;
  char text[64] = {};
  const bool read = std::fgets(text, sizeof text, file) != nullptr;
  std::fclose(file);
  if (!read) return std::nullopt;
  return std::string(text);
}

bool CacheOutOfSight(int fd) {
  struct statfs file_system {};
  return fstatfs(fd, &file_system) != 0 ||
         HasCacheOutOfSight(static_cast<std::uint64_t>(file_system.f_type), LoadedZfsVersion);
}

// What the kernel says about direct reads of the file; none where it does not say (Linux
// before 6.1, and file systems that do not report it).
std::optional<DirectIoReport> DirectIoReportOf(int fd) {
  struct statx status {};
  if (statx(fd, "", AT_EMPTY_PATH, STATX_DIOALIGN, &status) != 0 ||
      (status.stx_mask & STATX_DIOALIGN) == 0) {
    return std::nullopt;
  }
  return DirectIoReport{status.stx_dio_offset_align, status.stx_dio_mem_align};
}

// A descriptor for direct reads, or none where the file system refuses them (EINVAL).
UniqueDescriptor OpenDirect(const std::string& path) {
  UniqueDescriptor direct(open(path.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC));
  if (!direct && errno != EINVAL) {
    throw IoError("Cannot open " + Printable(path) + " to verify it: " + Reason());
  }
  return direct;
}

}  // namespace

bool HasCacheOutOfSight(std::uint64_t type, const ZfsVersionQuery& zfs_version) {
  if (type == kFuseMagic) return true;
  if (type != kZfsMagic) return false;
  const std::optional<std::string> version = zfs_version();
  return !version || !ZfsReadsDirectly(*version);
}

// Since Linux 5.0, mincore reports the page cache of a file only to a caller that could write
// it (else it says every page is cached). The read-back's caller created the file, so it may.
bool NoPageCached(int fd, std::uint64_t window) {
  struct stat status {};
  if (fstat(fd, &status) != 0) return false;
  const auto size = static_cast<std::uint64_t>(status.st_size);
  const auto page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  std::vector<unsigned char> cached(static_cast<std::size_t>((window + page - 1) / page));
  for (std::uint64_t offset = 0; offset < size; offset += window) {
    const auto length = static_cast<std::size_t>(std::min(window, size - offset));
    void* const mapping =
        mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, static_cast<off_t>(offset));
    if (mapping == MAP_FAILED) return false;
    const bool seen = mincore(mapping, length, cached.data()) == 0;
    munmap(mapping, length);
    const auto pages = static_cast<std::ptrdiff_t>((length + page - 1) / page);
    if (!seen || std::any_of(cached.begin(), cached.begin() + pages,
                             [](unsigned char state) { return (state & 1) != 0; })) {
      return false;
    }
  }
  return true;
}

// Some file systems take direct reads and still answer them from the page cache: ext4 with
// data=journal, btrfs for compressed data. So the file's cache is dropped first, whichever
// way it is then read, and the read-back is called direct only once no page of it is left
// there. Dropping is advice only: dirty pages, a tmpfs file's pages and ext4's journalled
// data not yet written home stay, and the check then sees them.
std::unique_ptr<StorageReader> OpenReadBackFile(const std::string& path) {
  UniqueDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file) throw IoError("Cannot open " + Printable(path) + " to verify it: " + Reason());
  const std::optional<DirectReadAlignment> alignment =
      DirectReadAlignmentFrom(DirectIoReportOf(file.Get()));
  UniqueDescriptor direct = alignment ? OpenDirect(path) : UniqueDescriptor();
  posix_fadvise(file.Get(), 0, 0, POSIX_FADV_DONTNEED);
  if (!direct) {
    return std::make_unique<ReadBackFile>(
        std::move(file), path, DirectReadAlignment{kLeastSectorSize, kLeastSectorSize}, false);
  }
  const bool reaches_storage = !CacheOutOfSight(file.Get()) && NoPageCached(file.Get());
  return std::make_unique<ReadBackFile>(std::move(direct), path, *alignment, reaches_storage);
}

}  // namespace kelvore
