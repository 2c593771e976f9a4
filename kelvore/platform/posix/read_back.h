#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "kelvore/tool/output_file.h"

namespace kelvore {

// The statfs types of file systems that keep a cache of their own, out of sight of a check
// of the system's page cache.
inline constexpr std::uint64_t kFuseMagic = 0x65735546;  // the daemon reads its device its way
inline constexpr std::uint64_t kZfsMagic = 0x2fc12fc1;   // its ARC answers direct reads before 2.3

// The version of the loaded ZFS module ("2.2.4-1"); none where it cannot be read.
using ZfsVersionQuery = std::function<std::optional<std::string>()>;

// Whether reads of a file on a file system of statfs type `type` may be answered from a cache
// this tool cannot see or drop: on FUSE, and on ZFS before 2.3 (an unknown version counts as
// such). `zfs_version` is asked for ZFS only.
bool HasCacheOutOfSight(std::uint64_t type, const ZfsVersionQuery& zfs_version);

// The page cache is looked at through mappings of this many bytes at a time: a small,
// bounded amount of memory for any size of file.
inline constexpr std::uint64_t kResidencyWindow = 64 * 1024 * 1024;

// True when no page of the open file is in the system's page cache; false when a page is, or
// when that cannot be seen. `window`, a multiple of the page size, is for tests.
bool NoPageCached(int fd, std::uint64_t window = kResidencyWindow);

// Opens the flushed file at `path` to read it back from the storage, and drops the system's
// cache of it first. Its reads are direct where the system allows that; it says it bypasses
// the cache only when the reads are direct, the file system keeps no cache out of sight and
// no page of the file stayed cached after the drop.
std::unique_ptr<StorageReader> OpenReadBackFile(const std::string& path);

}  // namespace kelvore
