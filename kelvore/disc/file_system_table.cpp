#include "kelvore/disc/file_system_table.h"

#include <algorithm>
#include <utility>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/big_endian.h"
#include "kelvore/disc/disc_format.h"

namespace kelvore {
namespace {

using format::kFstEntrySize;

constexpr std::byte kFileType{0};
constexpr std::byte kDirectoryType{1};

// Paths in messages hold about this many bytes of names at most.
constexpr std::size_t kShownPathBytes = 200;

struct OpenDirectory {
  std::uint32_t entry;
  std::uint32_t end;  // index of the first entry after its contents
};

std::size_t EntryAt(std::uint32_t entry) { return std::size_t{entry} * kFstEntrySize; }

std::string EntryLabel(std::uint32_t entry) {
  return Joined({"FST entry ", std::to_string(entry)});
}

}  // namespace

FileSystemTable::FileSystemTable(std::vector<std::byte> bytes, DiscEncoding encoding,
                                 const InterruptFlag& interrupted)
    : bytes_(std::move(bytes)), encoding_(encoding) {
  CheckRoot();
  entry_count_ = LoadBe32(bytes_, 8);
  strings_begin_ = EntryAt(entry_count_);
  MeasureNames(interrupted);
  ReadEntries(interrupted);
}

void FileSystemTable::CheckRoot() const {
  if (bytes_.size() < kFstEntrySize) {
    throw ImageError(
        Joined({"The FST is ", ByteCount(bytes_.size()), " long, too short for its root entry."}));
  }
  if (bytes_[0] != kDirectoryType) {
    throw ImageError("The FST's root entry is not a directory.");
  }
  const std::uint64_t count = LoadBe32(bytes_, 8);
  if (count == 0) {
    throw ImageError("The FST's root entry counts no entries, not even itself.");
  }
  if (count * kFstEntrySize > bytes_.size()) {
    throw ImageError(Joined({"The FST lists ", GroupedDecimal(count), " entries (",
                             ByteCount(count * kFstEntrySize), "), but it is only ",
                             ByteCount(bytes_.size()), " long."}));
  }
}

// Names may share their bytes (many entries one name, or one name the end of another), so
// measuring each name on its own could read the string table over and over. Taking the
// entries in the order of their names' offsets finds every end in one pass over the table.
// Names that lie outside the table or have no NUL are measured as empty; ReadEntries
// refuses them.
void FileSystemTable::MeasureNames(const InterruptFlag& interrupted) {
  const auto strings_reversed_end = bytes_.rend() - static_cast<std::ptrdiff_t>(strings_begin_);
  const auto last_nul = std::find(bytes_.rbegin(), strings_reversed_end, std::byte{0});
  names_end_ = static_cast<std::size_t>(last_nul.base() - bytes_.begin()) - strings_begin_;

  std::vector<std::uint32_t> order;
  for (std::uint32_t entry = 1; entry < entry_count_; ++entry) {
    if (NameOffset(entry) < names_end_) order.push_back(entry);
  }
  std::sort(order.begin(), order.end(),
            [this](std::uint32_t a, std::uint32_t b) { return NameOffset(a) < NameOffset(b); });
  name_lengths_.assign(entry_count_, 0);
  std::size_t nul = 0;  // the first NUL at or after the offset last measured
  for (const std::uint32_t entry : order) {
    StopIfInterrupted(interrupted);
    const std::size_t offset = NameOffset(entry);
    nul = std::max(nul, offset);
    while (bytes_[strings_begin_ + nul] != std::byte{0}) ++nul;
    name_lengths_[entry] = static_cast<std::uint32_t>(nul - offset);
  }
}

void FileSystemTable::ReadEntries(const InterruptFlag& interrupted) {
  parents_.assign(entry_count_, 0);
  std::vector<OpenDirectory> open{{0, entry_count_}};
  for (std::uint32_t entry = 1; entry < entry_count_; ++entry) {
    StopIfInterrupted(interrupted);
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
    if (bytes_[at] != kDirectoryType) {
      throw ImageError(Joined({EntryLabel(entry), " (", PathOf(entry), ") has the unknown type ",
                               std::to_string(std::to_integer<int>(bytes_[at])), "."}));
    }
    CheckDirectory(entry, parent.entry, parent.end, word1, word2);
    open.push_back({entry, word2});
  }
}

// Messages are put together only once a check fails: naming the entry's path walks up to
// the root, which for every entry of a deep table would take time growing with its square.
void FileSystemTable::CheckName(std::uint32_t entry) const {
  const std::size_t name_offset = NameOffset(entry);
  if (name_offset < names_end_) return;
  const std::string where = Joined({EntryLabel(entry), " in ", PathOf(parents_[entry])});
  if (name_offset >= StringTableSize()) {
    throw ImageError(
        Joined({where, ": its name offset ", Hex(name_offset), " lies outside the string table of ",
                ByteCount(StringTableSize()), "."}));
  }
  throw ImageError(Joined({where, ": its name at ", Hex(name_offset),
                           " runs to the end of the string table without a terminating NUL."}));
}

void FileSystemTable::CheckDirectory(std::uint32_t entry, std::uint32_t parent,
                                     std::uint32_t parent_end, std::uint32_t named_parent,
                                     std::uint32_t end) const {
  const bool right_parent = named_parent == parent;
  const bool nested = end > entry && end <= parent_end;
  if (right_parent && nested) return;
  const std::string where = Joined({"Directory ", PathOf(entry), " (", EntryLabel(entry), ")"});
  if (!right_parent) {
    throw ImageError(Joined({where, " names entry ", std::to_string(named_parent),
                             " as its parent, but it lies inside entry ", std::to_string(parent),
                             " (", PathOf(parent), ")."}));
  }
  throw ImageError(Joined({where, " ends at entry ", std::to_string(end),
                           ", which breaks the nesting: it must end after itself and no later "
                           "than its parent's end, entry ",
                           std::to_string(parent_end), "."}));
}

std::size_t FileSystemTable::NameOffset(std::uint32_t entry) const {
  return LoadBe32(bytes_, EntryAt(entry)) & 0x00FFFFFF;
}

std::string_view FileSystemTable::NameOf(std::uint32_t entry) const {
  const char* strings = reinterpret_cast<const char*>(bytes_.data()) + strings_begin_;
  return std::string_view(strings + NameOffset(entry), name_lengths_[entry]);
}

std::string FileSystemTable::PathOf(std::uint32_t entry) const {
  if (entry == 0) return "/";
  std::vector<std::string_view> names;
  std::size_t length = 0;
  for (; entry != 0 && length < kShownPathBytes; entry = parents_[entry]) {
    names.push_back(NameOf(entry).substr(0, kShownPathBytes));
    length += names.back().size() + 1;
  }
  std::string path = entry == 0 ? "" : "/...";
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    path += '/';
    path += ShownText(*name, encoding_);
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
