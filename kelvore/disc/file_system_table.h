#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kelvore/base/interruption.h"
#include "kelvore/disc/disc_encoding.h"

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
  // Checks the table in time linear in its size, however deep it nests. Throws ImageError
  // naming the faulty entry when the entries, names or nesting are broken, and IoError once
  // `interrupted` is set. Names in messages are decoded from `encoding`.
  FileSystemTable(std::vector<std::byte> bytes, DiscEncoding encoding,
                  const InterruptFlag& interrupted = NeverInterrupted());

  std::uint32_t EntryCount() const { return entry_count_; }
  std::uint32_t SizeInBytes() const { return static_cast<std::uint32_t>(bytes_.size()); }

  // Every file in FST order.
  const std::vector<DiscFile>& Files() const { return files_; }

  // The entry's name as the disc stores it.
  std::string_view NameOf(std::uint32_t entry) const;

  // The entry's path inside the disc as messages show it, such as "/audio/track01.adp"
  // (the root is "/"): see ShownText. A path longer than about 200 bytes keeps only its
  // last names, after "/...", so that a message stays short and cheap however deep the
  // table nests.
  std::string PathOf(std::uint32_t entry) const;

  // The table's bytes with each file's data offset replaced; `offsets` follows Files().
  std::vector<std::byte> WithFileOffsets(std::span<const std::uint32_t> offsets) const;

 private:
  void CheckRoot() const;
  void MeasureNames(const InterruptFlag& interrupted);
  void ReadEntries(const InterruptFlag& interrupted);
  void CheckName(std::uint32_t entry) const;
  void CheckDirectory(std::uint32_t entry, std::uint32_t parent, std::uint32_t parent_end,
                      std::uint32_t named_parent, std::uint32_t end) const;
  std::size_t NameOffset(std::uint32_t entry) const;
  std::size_t StringTableSize() const { return bytes_.size() - strings_begin_; }

  std::vector<std::byte> bytes_;
  DiscEncoding encoding_;
  std::uint32_t entry_count_ = 0;
  std::size_t strings_begin_ = 0;
  std::size_t names_end_ = 0;  // just past the string table's last NUL: names start before it
  std::vector<std::uint32_t> parents_;       // enclosing directory of each entry
  std::vector<std::uint32_t> name_lengths_;  // of each entry whose name has its NUL
  std::vector<DiscFile> files_;
};

}  // namespace kelvore
