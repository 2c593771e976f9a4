#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Writes small GameCube disc images for tests, fuzzing seeds and benchmarks: a header, an
// apploader, a DOL, a nested FST and files of pseudo-random bytes.
namespace kelvore::testkit {

struct SyntheticFile {
  std::string path;  // inside the disc, such as "audio/bgm01.adp"; directories follow from it
  std::uint32_t length = 0;
  // The file's source offset is an odd multiple of this power of two (32 KiB: any multiple),
  // so this is exactly the alignment a rebuild has to keep.
  std::uint32_t alignment = 4;
};

struct SyntheticImageRecipe {
  std::string game_code = "GKVE";
  std::string maker = "01";
  std::string game_name = "Kelvore Test Disc";
  std::uint8_t disc_number = 0;  // 0 for the first disc
  std::uint8_t revision = 0;
  // The header's audio-streaming flag, apart from the files: a disc may have either without
  // the other.
  bool audio_streaming = false;
  std::uint8_t stream_buffer_size = 0;
  // The country code of the header information; by default the one the game code's last
  // letter stands for, as on real discs (Korean discs carry Japan's).
  std::optional<std::uint32_t> region;
  std::uint32_t apploader_code_size = 0x1234;
  std::uint32_t apploader_trailer_size = 0x40;
  std::uint32_t dol_text_size = 0x900;
  std::uint32_t dol_data_size = 0x300;
  std::vector<SyntheticFile> files;
  std::uint64_t seed = 1;
  // Wiped: the image ends right after its last file. Otherwise it is padded with zeros to the
  // standard size (only WriteTo can produce that).
  bool wiped = true;
};

// A file as placed in the image, in FST order.
struct PlacedFile {
  std::string path;  // "/audio/bgm01.adp"
  std::uint32_t entry;
  std::uint32_t offset;
  std::uint32_t length;
};

class SyntheticImage {
 public:
  // The files' data lies after the FST in the reverse of FST order, so that a rebuild which
  // keeps FST order visibly reorders it.
  explicit SyntheticImage(SyntheticImageRecipe recipe);

  std::uint64_t Size() const { return size_; }
  std::uint32_t DolOffset() const { return dol_offset_; }
  std::uint32_t FstOffset() const { return fst_offset_; }
  std::uint32_t FstSize() const { return static_cast<std::uint32_t>(fst_.size()); }

  const std::vector<PlacedFile>& Files() const { return files_; }

  // FST entry index of a file or directory ("/audio").
  std::uint32_t EntryOf(std::string_view path) const { return entries_.at(std::string(path)); }

  // The whole image in memory; only for wiped images.
  std::vector<std::byte> Bytes() const;

  // Everything up to the end of the FST: the header, apploader, DOL and FST.
  std::vector<std::byte> SystemArea() const;

  // Writes the image to a file in bounded chunks, leaving gaps unwritten.
  void WriteTo(const std::string& path) const;

 private:
  void BuildFst();
  void PlaceSystemArea();
  void PlaceFiles();
  void WriteSystemArea();
  void FillFile(std::size_t file_index, std::uint64_t from, std::span<std::byte> out) const;

  SyntheticImageRecipe recipe_;
  std::vector<std::byte> system_area_;  // up to the end of the FST
  std::vector<std::byte> fst_;
  std::vector<PlacedFile> files_;
  std::vector<std::size_t> recipe_index_;  // the recipe's file behind each placed one
  std::map<std::string, std::uint32_t> entries_;
  std::uint32_t apploader_end_ = 0;
  std::uint32_t dol_offset_ = 0;
  std::uint32_t dol_length_ = 0;
  std::uint32_t fst_offset_ = 0;
  std::uint64_t size_ = 0;
};

// The country code real discs carry for a game code's last letter: 0 Japan (J, and K, Korea),
// 1 USA (E), 2 PAL (the rest).
std::uint32_t RegionOfGameCode(std::string_view game_code);

// A nested disc that streams audio, with files of many alignments, three streaming audio
// tracks (two of them off 32 KiB) and an empty file.
SyntheticImageRecipe NestedDiscRecipe();

// Crafted file tables, every entry a directory named "a" (all at name offset 0). The most
// entries such a table holds under the 4 MiB a console loads is 349,524 (with its 2-byte
// string table, 14 bytes under the cap).
inline constexpr std::uint32_t kMostCraftedEntries = 349'524;
// Entry i lies in entry i-1: the table nests as deep as it has entries.
std::vector<std::byte> DirectoryChainFst(std::uint32_t entry_count);
// Every entry lies in the root: as many entries, no nesting.
std::vector<std::byte> FlatDirectoriesFst(std::uint32_t entry_count);

// A whole wiped image in memory holding `fst`, after the header, apploader and DOL of a
// synthetic disc.
std::vector<std::byte> ImageWithFst(const std::vector<std::byte>& fst);

}  // namespace kelvore::testkit
