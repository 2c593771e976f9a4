#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelvore {

// A file of the disc as its FST entry describes it.
struct DiscFile {
  std::uint32_t entry;   // index of the FST entry
  std::uint32_t offset;  // where its data lies in the image
  std::uint32_t length;
};

// The disc's file system table: checked on construction, then queried for files and paths.
class FileSystemTable {
 public:
  // Throws ImageError naming the faulty entry when the entries, names or nesting are broken.
  explicit FileSystemTable(std::vector<std::byte> bytes);

  std::uint32_t EntryCount() const { return entry_count_; }
  std::uint32_t SizeInBytes() const { return static_cast<std::uint32_t>(bytes_.size()); }

  // Every file in FST order.
  const std::vector<DiscFile>& Files() const { return files_; }

  std::string_view NameOf(std::uint32_t entry) const;

  // Full path inside the disc, such as "/audio/track01.adp"; the root is "/".
  std::string PathOf(std::uint32_t entry) const;

  // The table's bytes with each file's data offset replaced; `offsets` follows Files().
  std::vector<std::byte> WithFileOffsets(std::span<const std::uint32_t> offsets) const;

 private:
  void CheckRoot() const;
  void CheckName(std::uint32_t entry) const;
  void ReadEntries();

  std::vector<std::byte> bytes_;
  std::uint32_t entry_count_ = 0;
  std::vector<std::uint32_t> parents_;  // enclosing directory of each entry
  std::vector<DiscFile> files_;
};

}  // namespace kelvore
