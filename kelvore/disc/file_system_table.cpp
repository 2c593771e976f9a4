#include "kelvore/disc/file_system_table.h"

#include <algorithm>
#include <utility>

#include "kelvore/disc/big_endian.h"
#include "kelvore/disc/disc_format.h"
#include "kelvore/disc/errors.h"
#include "kelvore/disc/text_format.h"

namespace kelvore {
namespace {

using format::kFstEntrySize;

constexpr std::byte kFileType{0};
constexpr std::byte kDirectoryType{1};

struct OpenDirectory {
  std::uint32_t entry;
  std::uint32_t end;  // index of the first entry after its contents
};

std::size_t EntryAt(std::uint32_t entry) { return std::size_t{entry} * kFstEntrySize; }

std::string EntryLabel(std::uint32_t entry) { return "FST entry " + std::to_string(entry); }

}  // namespace

FileSystemTable::FileSystemTable(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {
  CheckRoot();
  ReadEntries();
}

void FileSystemTable::CheckRoot() const {
  if (bytes_.size() < kFstEntrySize) {
    throw ImageError("The FST is " + std::to_string(bytes_.size()) +
                     " bytes long, too short for its root entry.");
  }
  if (bytes_[0] != kDirectoryType) {
    throw ImageError("The FST's root entry is not a directory.");
  }
  const std::uint64_t count = LoadBe32(bytes_, 8);
  if (count == 0) {
    throw ImageError("The FST's root entry counts no entries, not even itself.");
  }
  if (count * kFstEntrySize > bytes_.size()) {
    throw ImageError("The FST lists " + GroupedDecimal(count) + " entries (" +
                     GroupedDecimal(count * kFstEntrySize) + " bytes), but it is only " +
                     GroupedDecimal(bytes_.size()) + " bytes long.");
  }
}

void FileSystemTable::CheckName(std::uint32_t entry) const {
  const std::size_t strings_begin = EntryAt(entry_count_);
  const std::size_t table_size = bytes_.size() - strings_begin;
  const std::size_t name_offset = LoadBe32(bytes_, EntryAt(entry)) & 0x00FFFFFF;
  const std::string where = EntryLabel(entry) + " in " + PathOf(parents_[entry]);
  if (name_offset >= table_size) {
    throw ImageError(where + ": its name offset " + Hex(name_offset) +
                     " lies outside the string table of " + GroupedDecimal(table_size) + " bytes.");
  }
  const auto name_begin = bytes_.begin() + static_cast<std::ptrdiff_t>(strings_begin + name_offset);
  if (std::find(name_begin, bytes_.end(), std::byte{0}) == bytes_.end()) {
    throw ImageError(where + ": its name at " + Hex(name_offset) +
                     " runs to the end of the string table without a terminating NUL.");
  }
}

void FileSystemTable::ReadEntries() {
  entry_count_ = LoadBe32(bytes_, 8);
  parents_.assign(entry_count_, 0);
  std::vector<OpenDirectory> open{{0, entry_count_}};
  for (std::uint32_t entry = 1; entry < entry_count_; ++entry) {
    while (open.back().end <= entry) open.pop_back();
    const OpenDirectory parent = open.back();
    parents_[entry] = parent.entry;
    CheckName(entry);

    const std::size_t at = EntryAt(entry);
    const std::uint32_t word1 = LoadBe32(bytes_, at + 4);
    const std::uint32_t word2 = LoadBe32(bytes_, at + 8);
    if (bytes_[at] == kFileType) {
      files_.push_back({entry, word1, word2});
      continue;
    }
    const std::string where = "Directory " + PathOf(entry) + " (" + EntryLabel(entry) + ")";
    if (bytes_[at] != kDirectoryType) {
      throw ImageError(EntryLabel(entry) + " (" + PathOf(entry) + ") has the unknown type " +
                       std::to_string(std::to_integer<int>(bytes_[at])) + ".");
    }
    if (word1 != parent.entry) {
      throw ImageError(where + " names entry " + std::to_string(word1) +
                       " as its parent, but it lies inside entry " + std::to_string(parent.entry) +
                       " (" + PathOf(parent.entry) + ").");
    }
    if (word2 <= entry || word2 > parent.end) {
      throw ImageError(where + " ends at entry " + std::to_string(word2) +
                       ", which breaks the nesting: it must end after itself and no later than "
                       "its parent's end, entry " +
                       std::to_string(parent.end) + ".");
    }
    open.push_back({entry, word2});
  }
}

std::string_view FileSystemTable::NameOf(std::uint32_t entry) const {
  const std::size_t name_offset = LoadBe32(bytes_, EntryAt(entry)) & 0x00FFFFFF;
  const char* name =
      reinterpret_cast<const char*>(bytes_.data()) + EntryAt(entry_count_) + name_offset;
  return std::string_view(name);
}

std::string FileSystemTable::PathOf(std::uint32_t entry) const {
  if (entry == 0) return "/";
  std::vector<std::string_view> names;
  for (; entry != 0; entry = parents_[entry]) names.push_back(NameOf(entry));
  std::string path;
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    path += '/';
    path += *name;
  }
  return path;
}

std::vector<std::byte> FileSystemTable::WithFileOffsets(
    std::span<const std::uint32_t> offsets) const {
  std::vector<std::byte> bytes = bytes_;
  for (std::size_t i = 0; i < files_.size(); ++i) {
    StoreBe32(bytes, EntryAt(files_[i].entry) + 4, offsets[i]);
  }
  return bytes;
}

}  // namespace kelvore
