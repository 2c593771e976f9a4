#include "kelvore/disc/disc_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/big_endian.h"
#include "kelvore/disc/layout.h"
#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tool/command_line.h"
#include "kelvore/tool/rebuild_summary.h"

namespace kelvore {
namespace {

using testkit::NestedDiscRecipe;
using testkit::SyntheticImage;

TEST(ReadDisc, ReadsHeaderApploaderDolAndNestedFileSystem) {
  const SyntheticImage image(NestedDiscRecipe());
  const Disc disc = ReadDisc(MemoryByteSource(image.Bytes()));

  EXPECT_EQ(disc.game_code, "GKVE");
  EXPECT_EQ(disc.maker, "01");
  EXPECT_EQ(disc.game_name, "Kelvore Test Disc");
  EXPECT_TRUE(disc.audio_streaming);
  EXPECT_EQ(disc.image_size, image.Size());
  EXPECT_EQ(disc.apploader_end, 0x2440u + 0x20 + 0x1234 + 0x40);
  EXPECT_EQ(disc.dol_offset, image.DolOffset());
  EXPECT_EQ(disc.dol_length, 0x100u + 0x900 + 0x300);
  EXPECT_EQ(disc.fst_offset, image.FstOffset());
  EXPECT_EQ(disc.fst.SizeInBytes(), image.FstSize());

  const auto& files = disc.fst.Files();
  ASSERT_EQ(files.size(), image.Files().size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(disc.fst.PathOf(files[i].entry), image.Files()[i].path);
    EXPECT_EQ(files[i].offset, image.Files()[i].offset);
    EXPECT_EQ(files[i].length, image.Files()[i].length);
  }
  EXPECT_EQ(disc.fst.PathOf(image.EntryOf("/audio/voice")), "/audio/voice");
}

TEST(ReadDisc, DolLengthIsItsFurthestNonEmptySection) {
  const SyntheticImage image(NestedDiscRecipe());
  std::vector<std::byte> bytes = image.Bytes();
  const std::size_t dol = image.DolOffset();
  // An empty section far out does not count; a later non-empty one does.
  StoreBe32(bytes, dol + 0x1C + 4 * 5, 0x7000000);
  StoreBe32(bytes, dol + 0x90 + 4 * 6, 0);
  StoreBe32(bytes, dol + 0x00 + 4 * 6, 0x7000000);
  StoreBe32(bytes, dol + 0x1C + 4 * 1, 0x900);
  StoreBe32(bytes, dol + 0xAC + 4 * 1, 0x800);
  EXPECT_EQ(ReadDisc(MemoryByteSource(bytes)).dol_length, 0x1100u);
}

// The last text section (6) and the last data section (10) count like any other.
TEST(ReadDisc, DolLengthReachesToItsLastSectionOfEachKind) {
  const SyntheticImage image(NestedDiscRecipe());
  std::vector<std::byte> bytes = image.Bytes();
  const std::size_t dol = image.DolOffset();
  StoreBe32(bytes, dol + 0x00 + 4 * 6, 0x2000);
  StoreBe32(bytes, dol + 0x90 + 4 * 6, 0x100);
  EXPECT_EQ(ReadDisc(MemoryByteSource(bytes)).dol_length, 0x2100u);
  StoreBe32(bytes, dol + 0x1C + 4 * 10, 0x3000);
  StoreBe32(bytes, dol + 0xAC + 4 * 10, 0x10);
  EXPECT_EQ(ReadDisc(MemoryByteSource(bytes)).dol_length, 0x3010u);
}

std::size_t EntryAt(const SyntheticImage& image, const std::string& path) {
  return image.FstOffset() + std::size_t{image.EntryOf(path)} * 12;
}

// What ReadDisc says of `bytes`: its refusal, or "accepted".
std::string RefusalOf(const std::vector<std::byte>& bytes) {
  try {
    ReadDisc(MemoryByteSource(bytes));
  } catch (const ImageError& error) {
    return error.what();
  }
  return "accepted";
}

// Each limit of the checks, exactly at it and just past it, with the whole message.
TEST(ReadDisc, ChecksEachLimitExactlyAtItsEdge) {
  const SyntheticImage image(NestedDiscRecipe());
  std::vector<std::byte> bytes = image.Bytes();
  bytes.resize(0x440);
  EXPECT_EQ(RefusalOf(bytes),
            "The image is 1,088 bytes long, too short for the apploader header at 0x2440.");
  bytes = image.Bytes();
  bytes.resize(0x2460);  // the apploader header, but none of its code
  EXPECT_EQ(RefusalOf(bytes),
            "The apploader (4,756 bytes at 0x2440) reaches past the end of the image, which is "
            "9,312 bytes long.");

  // A name that starts exactly at the string table's end lies outside it.
  bytes = image.Bytes();
  const std::uint32_t entries = LoadBe32(bytes, image.FstOffset() + 8);
  const std::uint32_t strings = image.FstSize() - entries * 12;
  StoreBe32(bytes, EntryAt(image, "/audio/voice"), 0x01000000 | strings);
  EXPECT_NE(RefusalOf(bytes).find(": its name offset " + Hex(strings) +
                                  " lies outside the string table of " + ByteCount(strings) + "."),
            std::string::npos)
      << RefusalOf(bytes);

  // The last file's data ending one byte past the image: the dump is cut short.
  bytes = image.Bytes();
  bytes.pop_back();
  const testkit::PlacedFile& last = image.Files()[0];  // its data lies last
  EXPECT_EQ(RefusalOf(bytes), "The data of /opening.bnr (6,496 bytes at " + Hex(last.offset) +
                                  ") reaches past the end of the image, which is " +
                                  ByteCount(image.Size() - 1) + " long: the dump is damaged.");

  // A table of its root entry alone has no string table, and no files.
  std::vector<std::byte> root(12);
  root[0] = std::byte{1};
  StoreBe32(root, 8, 1);
  EXPECT_TRUE(ReadDisc(MemoryByteSource(testkit::ImageWithFst(root))).fst.Files().empty());
}

struct Corruption {
  std::string what;
  std::function<void(std::vector<std::byte>&, const SyntheticImage&)> apply;
  std::string message_part;
};

std::vector<Corruption> Corruptions() {
  return {
      {"too short for the header", [](auto& b, auto&) { b.resize(0x300); },
       "too short for the 1,088-byte disc header"},
      {"too short for the apploader header", [](auto& b, auto&) { b.resize(0x2450); },
       "too short for the apploader header"},
      {"wrong magic word", [](auto& b, auto&) { StoreBe32(b, 0x1C, 0x12345678); },
       "the magic word at 0x1C is 0x12345678"},
      {"apploader past the end", [](auto& b, auto&) { StoreBe32(b, 0x2440 + 0x14, 0x7FFFFFF0); },
       "The apploader"},
      {"DOL header past the end",
       [](auto& b, auto&) { StoreBe32(b, 0x420, static_cast<std::uint32_t>(b.size() - 0x10)); },
       "The DOL header"},
      {"DOL section past the end",
       [](auto& b, const SyntheticImage& image) {
         StoreBe32(b, image.DolOffset() + 0xAC + 4 * 3, 0x10000000);
         StoreBe32(b, image.DolOffset() + 0x1C + 4 * 3, 0x100);
       },
       "The DOL (268,435,712 bytes"},
      {"FST past the end",
       [](auto& b, auto&) { StoreBe32(b, 0x424, static_cast<std::uint32_t>(b.size() - 0x20)); },
       "The FST ("},
      {"FST larger than a console loads", [](auto& b, auto&) { StoreBe32(b, 0x428, 0x1000000); },
       "far more than a GameCube can load"},
      {"FST too short for its root", [](auto& b, auto&) { StoreBe32(b, 0x428, 4); },
       "too short for its root entry"},
      {"root not a directory",
       [](auto& b, const SyntheticImage& image) { b[image.FstOffset()] = std::byte{0}; },
       "root entry is not a directory"},
      {"root counting no entries",
       [](auto& b, const SyntheticImage& image) { StoreBe32(b, image.FstOffset() + 8, 0); },
       "counts no entries"},
      {"entries larger than the FST",
       [](auto& b, const SyntheticImage& image) {
         StoreBe32(b, image.FstOffset() + 8, image.FstSize() / 12 + 1);
       },
       "but it is only"},
      {"name offset outside the string table",
       [](auto& b, const SyntheticImage& image) {
         StoreBe32(b, EntryAt(image, "/audio/voice"), 0x01FFFFFF);
       },
       "in /audio: its name offset 0xFFFFFF lies outside the string table"},
      {"name without its NUL",
       [](auto& b, const SyntheticImage& image) {
         b[image.FstOffset() + image.FstSize() - 1] = std::byte{'x'};
       },
       "without a terminating NUL"},
      {"directory naming the wrong parent",
       [](auto& b, const SyntheticImage& image) {
         StoreBe32(b, EntryAt(image, "/audio/voice") + 4, 0);
       },
       "Directory /audio/voice (FST entry 4) names entry 0 as its parent"},
      {"directory ending past its parent",
       [](auto& b, const SyntheticImage& image) {
         StoreBe32(b, EntryAt(image, "/audio/voice") + 8, image.EntryOf("/data") + 1);
       },
       "Directory /audio/voice (FST entry 4) ends at entry"},
      {"directory ending before itself",
       [](auto& b, const SyntheticImage& image) {
         StoreBe32(b, EntryAt(image, "/data") + 8, image.EntryOf("/data"));
       },
       "breaks the nesting"},
      {"entry of unknown type",
       [](auto& b, const SyntheticImage& image) {
         b[EntryAt(image, "/data/readme.txt")] = std::byte{2};
       },
       "(/data/readme.txt) has the unknown type 2"},
      {"file data past the end (damaged dump)", [](auto& b, auto&) { b.pop_back(); },
       "The data of /opening.bnr (6,496 bytes at"},
  };
}

TEST(ReadDisc, RefusesEachKindOfInvalidImageNamingTheProblem) {
  const SyntheticImage image(NestedDiscRecipe());
  for (const Corruption& corruption : Corruptions()) {
    SCOPED_TRACE(corruption.what);
    std::vector<std::byte> bytes = image.Bytes();
    corruption.apply(bytes, image);
    try {
      ReadDisc(MemoryByteSource(bytes));
      ADD_FAILURE() << "accepted";
    } catch (const ImageError& error) {
      EXPECT_NE(std::string(error.what()).find(corruption.message_part), std::string::npos)
          << error.what();
    }
  }
}

// The console loads at most 4 MiB of file table: a table of exactly that size is read, one
// byte more is refused before anything of it is.
TEST(ReadDisc, TakesAFileTableOfExactlyTheLargestSizeAConsoleLoads) {
  std::vector<std::byte> fst = testkit::FlatDirectoriesFst(1000);
  fst.resize(4 * 1024 * 1024);  // zeros after the names: the string table's unused end
  EXPECT_EQ(ReadDisc(MemoryByteSource(testkit::ImageWithFst(fst))).fst.SizeInBytes(),
            4u * 1024 * 1024);
  fst.push_back(std::byte{0});
  try {
    ReadDisc(MemoryByteSource(testkit::ImageWithFst(fst)));
    ADD_FAILURE() << "accepted";
  } catch (const ImageError& error) {
    EXPECT_NE(std::string(error.what()).find("claims 4,194,305 bytes"), std::string::npos)
        << error.what();
  }
}

// A source that raises the interrupt flag once the FST has been read, as Ctrl+C pressed
// during the checks would.
class InterruptingSource : public MemoryByteSource {
 public:
  InterruptingSource(std::vector<std::byte> bytes, std::atomic<bool>& interrupted)
      : MemoryByteSource(std::move(bytes)), interrupted_(interrupted) {}
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    MemoryByteSource::ReadAt(offset, out);
    if (out.size() > 0x1000) interrupted_.store(true);
  }

 private:
  std::atomic<bool>& interrupted_;
};

// Entry i inside entry i-1: checks that walked each entry's path to the root took minutes
// and could not be stopped. The checks' time must not grow with the nesting's square.
TEST(DeepTable, IsCheckedQuicklyWithShortPathsAndStopsWhenInterrupted) {
  constexpr std::uint32_t kEntries = 60'000;
  const std::vector<std::byte> image = testkit::ImageWithFst(testkit::DirectoryChainFst(kEntries));
  const Disc disc = ReadDisc(MemoryByteSource(image));
  EXPECT_EQ(disc.fst.EntryCount(), kEntries);
  const std::string deepest = disc.fst.PathOf(kEntries - 1);
  EXPECT_TRUE(deepest.starts_with("/.../a/a/")) << deepest.substr(0, 50);
  EXPECT_LT(deepest.size(), 300u);
  // Entry i lies i deep: 100 names of "/a" fill the 200 bytes a path shows, one more is cut.
  std::string hundred;
  for (int i = 0; i < 100; ++i) hundred += "/a";
  EXPECT_EQ(disc.fst.PathOf(100), hundred);
  EXPECT_EQ(disc.fst.PathOf(101), "/..." + hundred);

  std::atomic<bool> interrupted{false};
  try {
    ReadDisc(InterruptingSource(image, interrupted), interrupted);
    ADD_FAILURE() << "the checks ran to their end";
  } catch (const IoError& error) {
    EXPECT_STREQ(error.what(), "Interrupted.");
  }
  EXPECT_THROW(PlanLayout(ReadDisc(MemoryByteSource(SyntheticImage(NestedDiscRecipe()).Bytes())),
                          ImageMode::kStandard, {}, interrupted),
               IoError);
}

// Names are decoded from the disc's encoding and can neither move the cursor nor pass for
// the tool's own lines, in the summary and in errors alike.
TEST(ShownNames, AreDecodedByRegionWithControlCharactersEscaped) {
  testkit::SyntheticImageRecipe japanese;
  japanese.game_code = "GZLJ";
  japanese.game_name = "\x83\x5B\x83\x8B\x83\x5F \xB6\xC0";        // ゼルダ ｶﾀ
  japanese.files = {{"\x89\xB9\x8A\x79/bgm\x81\x60.adp", 64, 4}};  // 音楽/bgm～.adp
  const SyntheticImage japanese_image(japanese);
  const Disc japanese_disc = ReadDisc(MemoryByteSource(japanese_image.Bytes()));
  EXPECT_EQ(japanese_disc.fst.PathOf(japanese_disc.fst.Files()[0].entry), "/音楽/bgm～.adp");
  const RebuildRequest request{.image = "in.gcm"};
  EXPECT_EQ(SummaryLines(japanese_disc, request, "out.gcm")[0], "Rebuilding GZLJ01 \"ゼルダ ｶﾀ\"");

  testkit::SyntheticImageRecipe western;
  western.files = {{"\x1B[2J\rDone: fake.bin", 64, 4}, {"caf\xE9\x80\x81.bin", 64, 4}};
  const SyntheticImage western_image(western);
  std::vector<std::byte> damaged = western_image.Bytes();
  damaged.resize(damaged.size() - 1);  // cuts the first file, whose data lies last
  try {
    ReadDisc(MemoryByteSource(damaged));
    ADD_FAILURE() << "accepted";
  } catch (const ImageError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("The data of /\\x1B[2J\\x0DDone: fake.bin ("), std::string::npos)
        << message;
    EXPECT_EQ(message.find_first_of("\x1B\r"), std::string::npos) << message;
  }
  const Disc western_disc = ReadDisc(MemoryByteSource(western_image.Bytes()));
  EXPECT_EQ(western_disc.fst.PathOf(western_disc.fst.Files()[1].entry),
            "/caf\xC3\xA9\xE2\x82\xAC\\x81.bin");
}

}  // namespace
}  // namespace kelvore
