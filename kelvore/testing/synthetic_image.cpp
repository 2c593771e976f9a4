#include "kelvore/testing/synthetic_image.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "kelvore/disc/alignment.h"
#include "kelvore/disc/big_endian.h"
#include "kelvore/disc/disc_format.h"

namespace kelvore::testkit {
namespace {

using namespace format;

constexpr std::size_t kWriteChunk = 1024 * 1024;

std::uint64_t SplitMix(std::uint64_t state) {
  state += 0x9E3779B97F4A7C15ULL;
  state = (state ^ (state >> 30)) * 0xBF58476D1CE4E5B9ULL;
  state = (state ^ (state >> 27)) * 0x94D049BB133111EBULL;
  return state ^ (state >> 31);
}

// Pseudo-random bytes of a stream named by `stream`, starting at byte `from` of it; the same
// position always gets the same byte, however the stream is cut into pieces.
void FillRandom(std::uint64_t stream, std::uint64_t from, std::span<std::byte> out) {
  std::uint64_t position = from;
  for (std::byte& b : out) {
    const std::uint64_t word = SplitMix(stream * 0x100000001B3ULL + position / 8);
    b = static_cast<std::byte>(word >> (8 * (position % 8)));
    ++position;
  }
}

void PutText(std::vector<std::byte>& bytes, std::size_t offset, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) bytes[offset + i] = std::byte(text[i]);
}

struct Node {
  std::string name;
  bool directory = false;
  std::size_t recipe_index = 0;  // files
  std::vector<std::size_t> children = {};
};

// Directory tree from the files' paths, children in the order they first appear.
std::vector<Node> BuildTree(const std::vector<SyntheticFile>& files) {
  std::vector<Node> nodes{Node{.name = "", .directory = true}};
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::size_t parent = 0;
    std::string_view rest = files[i].path;
    for (std::size_t slash; (slash = rest.find('/')) != std::string_view::npos;) {
      const std::string name(rest.substr(0, slash));
      rest.remove_prefix(slash + 1);
      const auto& children = nodes[parent].children;
      const auto found = std::find_if(children.begin(), children.end(), [&](std::size_t child) {
        return nodes[child].directory && nodes[child].name == name;
      });
      if (found != children.end()) {
        parent = *found;
        continue;
      }
      nodes.push_back(Node{.name = name, .directory = true});
      nodes[parent].children.push_back(nodes.size() - 1);
      parent = nodes.size() - 1;
    }
    nodes.push_back(Node{.name = std::string(rest), .directory = false, .recipe_index = i});
    nodes[parent].children.push_back(nodes.size() - 1);
  }
  return nodes;
}

struct FstWriter {
  const std::vector<Node>& nodes;
  std::vector<std::byte> entries = {};
  std::string strings = {};
  std::vector<std::pair<std::string, std::size_t>> emitted = {};  // path, recipe index of files
  std::map<std::string, std::uint32_t> entry_of_path = {};

  std::uint32_t NextEntry() const { return static_cast<std::uint32_t>(entries.size() / 12); }

  void Emit(std::size_t node, std::uint32_t parent_entry, const std::string& parent_path) {
    const std::uint32_t entry = NextEntry();
    const std::string path =
        node == 0 ? "/" : (parent_path == "/" ? "" : parent_path) + "/" + nodes[node].name;
    entry_of_path[path] = entry;
    entries.resize(entries.size() + 12);
    const std::size_t at = std::size_t{entry} * 12;
    if (node != 0) {
      StoreBe32(entries, at, static_cast<std::uint32_t>(strings.size()));
      strings += nodes[node].name;
      strings += '\0';
    }
    if (!nodes[node].directory) {
      emitted.emplace_back(path, nodes[node].recipe_index);
      return;
    }
    entries[at] = std::byte{1};
    StoreBe32(entries, at + 4, parent_entry);
    for (std::size_t child : nodes[node].children) Emit(child, entry, path);
    StoreBe32(entries, at + 8, NextEntry());
  }
};

}  // namespace

SyntheticImage::SyntheticImage(SyntheticImageRecipe recipe) : recipe_(std::move(recipe)) {
  BuildFst();
  PlaceSystemArea();
  PlaceFiles();
  WriteSystemArea();
}

void SyntheticImage::BuildFst() {
  const std::vector<Node> nodes = BuildTree(recipe_.files);
  FstWriter writer{.nodes = nodes};
  writer.Emit(0, 0, "/");
  fst_ = writer.entries;
  for (char c : writer.strings) fst_.push_back(std::byte(c));
  entries_ = writer.entry_of_path;
  for (const auto& [path, recipe_index] : writer.emitted) {
    files_.push_back({path, entries_.at(path), 0, recipe_.files[recipe_index].length});
    recipe_index_.push_back(recipe_index);
  }
}

void SyntheticImage::PlaceSystemArea() {
  apploader_end_ =
      static_cast<std::uint32_t>(kApploaderOffset + kApploaderHeaderSize +
                                 recipe_.apploader_code_size + recipe_.apploader_trailer_size);
  // Deliberately off the 32 KiB grid a rebuild uses.
  dol_offset_ = static_cast<std::uint32_t>(AlignUp(apploader_end_, 0x100) + 0x100);
  dol_length_ =
      static_cast<std::uint32_t>(kDolHeaderSize + recipe_.dol_text_size + recipe_.dol_data_size);
  fst_offset_ = static_cast<std::uint32_t>(AlignUp(dol_offset_ + dol_length_, 4) + 0x20);
}

void SyntheticImage::PlaceFiles() {
  std::uint64_t cursor = fst_offset_ + fst_.size();
  for (std::size_t i = files_.size(); i-- > 0;) {
    const std::uint32_t alignment = recipe_.files[recipe_index_[i]].alignment;
    std::uint64_t offset = AlignUp(cursor, alignment);
    if (alignment < kBlockSize && (offset / alignment) % 2 == 0) offset += alignment;
    files_[i].offset = static_cast<std::uint32_t>(offset);
    cursor = offset + files_[i].length;
  }
  size_ = recipe_.wiped ? cursor : kStandardImageSize;
  for (std::size_t i = 0; i < files_.size(); ++i) {
    StoreBe32(fst_, std::size_t{files_[i].entry} * 12 + 4, files_[i].offset);
    StoreBe32(fst_, std::size_t{files_[i].entry} * 12 + 8, files_[i].length);
  }
}

void SyntheticImage::WriteSystemArea() {
  system_area_.assign(fst_offset_ + fst_.size(), std::byte{0});
  FillRandom(recipe_.seed, 0, system_area_);  // header information, apploader and DOL code
  std::fill_n(system_area_.begin(), kHeaderSize, std::byte{0});
  PutText(system_area_, kGameCodeOffset, recipe_.game_code);
  PutText(system_area_, kMakerOffset, recipe_.maker);
  system_area_[kDiscNumberOffset] = std::byte{recipe_.disc_number};
  system_area_[kRevisionOffset] = std::byte{recipe_.revision};
  system_area_[kAudioStreamingOffset] = recipe_.audio_streaming ? std::byte{1} : std::byte{0};
  system_area_[kStreamBufferSizeOffset] = std::byte{recipe_.stream_buffer_size};
  StoreBe32(system_area_, kRegionOffset,
            recipe_.region.value_or(RegionOfGameCode(recipe_.game_code)));
  StoreBe32(system_area_, kMagicOffset, kMagicWord);
  PutText(system_area_, kGameNameOffset, recipe_.game_name);
  StoreBe32(system_area_, kDolOffsetField, dol_offset_);
  StoreBe32(system_area_, kFstOffsetField, fst_offset_);
  StoreBe32(system_area_, kFstSizeField, static_cast<std::uint32_t>(fst_.size()));
  StoreBe32(system_area_, kFstSizeField + 4, static_cast<std::uint32_t>(fst_.size()));

  PutText(system_area_, kApploaderOffset, "2004/02/01");
  StoreBe32(system_area_, kApploaderOffset + kApploaderCodeSizeField, recipe_.apploader_code_size);
  StoreBe32(system_area_, kApploaderOffset + kApploaderTrailerSizeField,
            recipe_.apploader_trailer_size);

  const auto dol = std::span(system_area_).subspan(dol_offset_, kDolHeaderSize);
  std::fill(dol.begin(), dol.end(), std::byte{0});
  StoreBe32(dol, kDolTextOffsetsAt, kDolHeaderSize);
  StoreBe32(dol, kDolTextSizesAt, recipe_.dol_text_size);
  StoreBe32(dol, kDolDataOffsetsAt, kDolHeaderSize + recipe_.dol_text_size);
  StoreBe32(dol, kDolDataSizesAt, recipe_.dol_data_size);

  std::fill(system_area_.begin() + dol_offset_ + dol_length_, system_area_.begin() + fst_offset_,
            std::byte{0});
  std::copy(fst_.begin(), fst_.end(), system_area_.begin() + fst_offset_);
}

void SyntheticImage::FillFile(std::size_t file_index, std::uint64_t from,
                              std::span<std::byte> out) const {
  FillRandom(recipe_.seed * 7919 + recipe_index_[file_index] + 1, from, out);
}

std::vector<std::byte> SyntheticImage::Bytes() const {
  if (!recipe_.wiped) throw std::logic_error("Only wiped synthetic images fit in memory.");
  std::vector<std::byte> bytes(size_);
  std::copy(system_area_.begin(), system_area_.end(), bytes.begin());
  for (std::size_t i = 0; i < files_.size(); ++i) {
    FillFile(i, 0, std::span(bytes).subspan(files_[i].offset, files_[i].length));
  }
  return bytes;
}

std::vector<std::byte> SyntheticImage::SystemArea() const { return system_area_; }

void SyntheticImage::WriteTo(const std::string& path) const {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(system_area_.data()),
              static_cast<std::streamsize>(system_area_.size()));
    std::vector<std::byte> chunk(kWriteChunk);
    for (std::size_t i = 0; i < files_.size(); ++i) {
      out.seekp(static_cast<std::streamoff>(files_[i].offset));
      for (std::uint64_t at = 0; at < files_[i].length; at += kWriteChunk) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(kWriteChunk, files_[i].length - at));
        FillFile(i, at, std::span(chunk).first(count));
        out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(count));
      }
    }
    if (!out) throw std::runtime_error("Cannot write the synthetic image " + path);
  }
  std::filesystem::resize_file(path, size_);
}

std::uint32_t RegionOfGameCode(std::string_view game_code) {
  const char letter = game_code.size() < 4 ? '\0' : game_code[3];
  if (letter == 'J' || letter == 'K') return 0;
  return letter == 'E' ? 1 : 2;
}

SyntheticImageRecipe NestedDiscRecipe() {
  SyntheticImageRecipe recipe;
  recipe.audio_streaming = true;
  recipe.stream_buffer_size = 10;
  recipe.files = {
      {"opening.bnr", 0x1960, 32 * 1024},    {"audio/bgm01.adp", 70000, 32 * 1024},
      {"audio/voice/v01.dtk", 5000, 4},      {"audio/sfx.bin", 1234, 8},
      {"data/level1/map.dat", 100000, 2048}, {"data/level1/empty.dat", 0, 4},
      {"data/level2/map.dat", 3333, 16},     {"data/readme.txt", 17, 4},
      {"Movie.THP", 200000, 32 * 1024},      {"MUSIC.ADP", 40000, 4},
      {"audio/voice/v02.bin", 999, 512},
  };
  return recipe;
}

namespace {

// A table of `entry_count` directory entries; `parent_of(i)` and `end_of(i)` give the parent
// and the end of directory i.
template <typename ParentOf, typename EndOf>
std::vector<std::byte> DirectoryFst(std::uint32_t entry_count, ParentOf parent_of, EndOf end_of) {
  std::vector<std::byte> fst(std::size_t{entry_count} * kFstEntrySize + 2, std::byte{0});
  for (std::uint32_t i = 0; i < entry_count; ++i) {
    const std::size_t at = std::size_t{i} * kFstEntrySize;
    fst[at] = std::byte{1};
    StoreBe32(fst, at + 4, i == 0 ? 0 : parent_of(i));
    StoreBe32(fst, at + 8, i == 0 ? entry_count : end_of(i));
  }
  fst[fst.size() - 2] = std::byte{'a'};
  return fst;
}

}  // namespace

std::vector<std::byte> DirectoryChainFst(std::uint32_t entry_count) {
  return DirectoryFst(
      entry_count, [](std::uint32_t i) { return i - 1; },
      [entry_count](std::uint32_t) { return entry_count; });
}

std::vector<std::byte> FlatDirectoriesFst(std::uint32_t entry_count) {
  return DirectoryFst(
      entry_count, [](std::uint32_t) { return 0u; }, [](std::uint32_t i) { return i + 1; });
}

std::vector<std::byte> ImageWithFst(const std::vector<std::byte>& fst) {
  const SyntheticImage base{SyntheticImageRecipe{}};
  std::vector<std::byte> image = base.SystemArea();
  image.resize(base.FstOffset());
  image.insert(image.end(), fst.begin(), fst.end());
  StoreBe32(image, kFstSizeField, static_cast<std::uint32_t>(fst.size()));
  StoreBe32(image, kFstSizeField + 4, static_cast<std::uint32_t>(fst.size()));
  return image;
}

}  // namespace kelvore::testkit
