#include "kelvore/tool/dump_verdict.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kelvore/base/interruption.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/testing/synthetic_image.h"

namespace kelvore {
namespace {

constexpr std::uint64_t kFullSize = 1'459'978'240;

const ImageChecksums kSums = {.crc32 = "9d3799b3",
                              .md5 = "e1b444ea1a5787d54a3d631d0cdaae03",
                              .sha1 = "a684f685145533a3ac9ab721f13266e944ce6476"};
const ImageChecksums kOtherSums = {.crc32 = "11111111",
                                   .md5 = "22222222222222222222222222222222",
                                   .sha1 = "3333333333333333333333333333333333333333"};

DumpEntry Entry(std::string game, const ImageChecksums& sums, std::vector<DumpSerial> serials = {},
                std::uint8_t revision = 0) {
  return {.game = game,
          .file = game + ".iso",
          .size = kFullSize,
          .crc32 = sums.crc32,
          .md5 = sums.md5,
          .sha1 = sums.sha1,
          .serials = std::move(serials),
          .revision = revision};
}

ImageFacts Image(const ImageChecksums& sums, std::string game_code = "GW7E",
                 std::uint8_t disc_number = 0, std::uint8_t revision = 0) {
  return {.size = kFullSize,
          .checksums = sums,
          .game_code = std::move(game_code),
          .disc_number = disc_number,
          .revision = revision};
}

std::string Text(const DumpVerdict& verdict) {
  std::string text;
  for (const std::string& line : verdict.lines) text += line + "\n";
  return text;
}

bool Says(const DumpVerdict& verdict, const std::string& part) {
  return Text(verdict).find(part) != std::string::npos;
}

TEST(DumpVerdict, AnImageWithAnEntrysSizeAndEverySumItGivesIsListed) {
  DumpList list;
  list.entries = {Entry("Other (USA)", kOtherSums), Entry("Game (USA)", kSums)};
  const DumpVerdict verdict = JudgeImage(list, Image(kSums));
  EXPECT_EQ(verdict.match, DumpMatch::kListed);
  EXPECT_TRUE(verdict.Listed());
  EXPECT_EQ(Text(verdict),
            "Listed: this image is the dump the list gives for \"Game (USA)\" (file \"Game "
            "(USA).iso\"): its size, CRC32, MD5 and SHA-1 are the listed ones.\n");

  // An entry that gives an MD5 alone, or a SHA-1 alone, confirms it as well.
  DumpEntry md5_only = Entry("Game (USA)", kSums);
  md5_only.crc32.clear();
  md5_only.sha1.clear();
  DumpEntry sha1_only = Entry("Game (USA)", kSums);
  sha1_only.md5.clear();
  for (const DumpEntry& entry : {md5_only, sha1_only}) {
    list.entries = {entry};
    EXPECT_TRUE(JudgeImage(list, Image(kSums)).Listed()) << entry.md5 << entry.sha1;
  }
}

TEST(DumpVerdict, EveryEntrySharingTheSumsIsNamed) {
  DumpList list;
  list.entries = {Entry("Game (USA)", kSums), Entry("Other (USA)", kOtherSums),
                  Entry("Game (Canada)", kSums)};
  const DumpVerdict verdict = JudgeImage(list, Image(kSums));
  EXPECT_TRUE(verdict.Listed());
  EXPECT_EQ(verdict.lines,
            (std::vector<std::string>{
                "Listed: this image is the dump the list gives for 2 entries, which share its "
                "size and checksums:",
                "  \"Game (USA)\" (file \"Game (USA).iso\")",
                "  \"Game (Canada)\" (file \"Game (Canada).iso\")"}));
}

TEST(DumpVerdict, AnyDifferenceMakesItNoMatch) {
  DumpList list;
  list.entries = {Entry("Game (USA)", kSums)};
  ImageFacts shorter = Image(kSums);
  shorter.size = kFullSize - 1;
  ImageFacts other_md5 = Image(kSums);
  other_md5.checksums.md5 = kOtherSums.md5;
  ImageFacts other_sha1 = Image(kSums);
  other_sha1.checksums.sha1 = kOtherSums.sha1;
  for (const ImageFacts& image : {shorter, other_md5, other_sha1}) {
    const DumpVerdict verdict = JudgeImage(list, image);
    EXPECT_EQ(verdict.match, DumpMatch::kNotListed) << Text(verdict);
    EXPECT_TRUE(Says(verdict, "Not a match: the image's ")) << Text(verdict);
  }
  EXPECT_TRUE(Says(JudgeImage(list, shorter), "but its size differs."));
  EXPECT_TRUE(Says(JudgeImage(list, other_md5),
                   "CRC32 and SHA-1 equal those listed for \"Game (USA)\" (file \"Game "
                   "(USA).iso\"), but its MD5 differs."));
}

// The case a user would misread: the CRC32 is the listed one, the dump is not.
TEST(DumpVerdict, AMatchingCrc32WithOtherMd5AndSha1IsSaidToBeNoMatch) {
  DumpList list;
  list.entries = {Entry("Game (USA)", kSums)};
  ImageFacts image = Image(kOtherSums);
  image.checksums.crc32 = kSums.crc32;
  const DumpVerdict verdict = JudgeImage(list, image);
  EXPECT_FALSE(verdict.Listed());
  EXPECT_EQ(verdict.lines.back(),
            "Not a match: the image's size and CRC32 equal those listed for \"Game (USA)\" (file "
            "\"Game (USA).iso\"), but its MD5 and SHA-1 differ. Different data can share a "
            "CRC32; only an MD5 or SHA-1 tells the listed dump.");
}

TEST(DumpVerdict, AnEntryWithOnlyACrc32NeverMakesAnImageListed) {
  DumpList list;
  DumpEntry crc_only = Entry("Game (USA)", kSums);
  crc_only.md5.clear();
  crc_only.sha1.clear();
  list.entries = {crc_only};
  const DumpVerdict verdict = JudgeImage(list, Image(kSums));
  EXPECT_EQ(verdict.match, DumpMatch::kNotListed);
  EXPECT_EQ(verdict.lines.back(),
            "Not confirmed: \"Game (USA)\" (file \"Game (USA).iso\") has this image's size and "
            "CRC32, but the list gives no MD5 or SHA-1 for it, and a CRC32 alone cannot confirm "
            "a dump.");
}

TEST(DumpVerdict, AnImageWhoseHeaderNamesAnEntryIsIdentifiedWithTheReason) {
  DumpList list;
  list.entries = {Entry("Game (USA)", kSums, {{"GW7E", 0}})};
  ImageFacts rebuilt = Image(kOtherSums);
  rebuilt.size = 498'016;
  const DumpVerdict verdict = JudgeImage(list, rebuilt);
  EXPECT_EQ(verdict.match, DumpMatch::kIdentified);
  EXPECT_FALSE(verdict.Listed());
  ASSERT_EQ(verdict.lines.size(), 3u);
  EXPECT_EQ(verdict.lines[0],
            "Identified, not the listed dump: the header's game code GW7E, disc 1 and revision 0 "
            "are those of \"Game (USA)\" (file \"Game (USA).iso\"), but the image's bytes are "
            "not the listed dump's.");
  EXPECT_EQ(verdict.lines[1],
            "It has 498,016 bytes, where the listed dump has 1,459,978,240 bytes.");
  EXPECT_TRUE(verdict.lines[2].starts_with("That is expected of a rebuilt or wiped image"));

  const DumpVerdict full_size = JudgeImage(list, Image(kOtherSums));
  EXPECT_EQ(full_size.lines[1],
            "It has the listed size, 1,459,978,240 bytes, but other checksums.");
}

TEST(DumpVerdict, IdentificationNeedsTheGameCodeDiscAndRevision) {
  DumpList list;
  list.entries = {Entry("Big (Germany) (Disc 1)", kSums, {{"GU2D", 0}}),
                  Entry("Big (Germany) (Disc 2) (Rev 1)", kSums, {{"GX2D", 0}, {"GU2D", 1}}, 1)};
  const DumpVerdict second_disc = JudgeImage(list, Image(kOtherSums, "GU2D", 1, 1));
  EXPECT_EQ(second_disc.match, DumpMatch::kIdentified);
  EXPECT_TRUE(Says(second_disc, "\"Big (Germany) (Disc 2) (Rev 1)\"")) << Text(second_disc);
  EXPECT_FALSE(Says(second_disc, "(Disc 1)")) << Text(second_disc);

  for (const ImageFacts& image : {Image(kOtherSums, "GU2D", 1, 0), Image(kOtherSums, "GU2P", 1, 1),
                                  Image(kOtherSums, "GU2D", 2, 1)}) {
    const DumpVerdict verdict = JudgeImage(list, image);
    EXPECT_EQ(verdict.match, DumpMatch::kNotListed) << Text(verdict);
  }
  EXPECT_EQ(Text(JudgeImage(list, Image(kOtherSums, "GU2D", 1, 0))),
            "Not in the list: no entry has this image's size and checksums, nor its header's game "
            "code GU2D, disc 2 and revision 0.\n");
}

TEST(DumpVerdict, SeveralIdentifiedEntriesAreAllNamed) {
  DumpList list;
  list.entries = {Entry("Game (USA)", kSums, {{"GW7E", 0}}),
                  Entry("Game (USA) (Player's Choice)", kSums, {{"GW7E", 0}})};
  const DumpVerdict verdict = JudgeImage(list, Image(kOtherSums));
  EXPECT_EQ(verdict.match, DumpMatch::kIdentified);
  ASSERT_EQ(verdict.lines.size(), 4u);
  EXPECT_TRUE(
      verdict.lines[0].ends_with("are those of 2 entries, but the image's bytes are none "
                                 "of their listed dumps:"));
  EXPECT_EQ(verdict.lines[2],
            "  \"Game (USA) (Player's Choice)\" (file \"Game (USA) (Player's "
            "Choice).iso\")");
}

TEST(DumpVerdict, WithoutSerialsAnImageIsListedOrNotInTheList) {
  DumpList list;
  list.entries = {Entry("Game (USA)", kSums)};
  const DumpVerdict verdict = JudgeImage(list, Image(kOtherSums));
  EXPECT_EQ(verdict.match, DumpMatch::kNotListed);
  EXPECT_EQ(Text(verdict),
            "Not in the list: no entry has this image's size and checksums. The list gives no "
            "serials, so the image cannot be identified by its header.\n");
}

TEST(DumpVerdict, NamesAreShownWithoutControlCharacters) {
  DumpList list;
  list.entries = {Entry("Game\x1B[2J (USA)", kSums)};
  const DumpVerdict verdict = JudgeImage(list, Image(kSums));
  EXPECT_TRUE(Says(verdict, "\"Game\\x1B[2J (USA)\"")) << Text(verdict);
}

// From a read image to its verdict, as the tool goes: the header's disc and the checksums of
// the whole image make its facts.
TEST(DumpVerdict, AnImagesDiscAndChecksumsMakeItsFacts) {
  testkit::SyntheticImageRecipe recipe = testkit::NestedDiscRecipe();
  recipe.game_code = "GU2D";
  recipe.disc_number = 1;
  recipe.revision = 2;
  const testkit::SyntheticImage image(recipe);
  const MemoryByteSource source(image.Bytes());
  const ImageChecksums sums = ComputeChecksums(source, {NeverInterrupted(), [](std::uint64_t) {}});
  const ImageFacts facts = FactsOf(ReadDisc(source), sums);

  DumpList list;
  DumpEntry listed = Entry("Big (Germany) (Disc 2) (Rev 2)", sums);
  listed.size = image.Size();
  list.entries = {listed};
  EXPECT_TRUE(JudgeImage(list, facts).Listed()) << Text(JudgeImage(list, facts));

  list.entries = {Entry("Big (Germany) (Disc 2) (Rev 2)", kOtherSums, {{"GU2D", 1}}, 2)};
  EXPECT_EQ(JudgeImage(list, facts).match, DumpMatch::kIdentified);
}

}  // namespace
}  // namespace kelvore
