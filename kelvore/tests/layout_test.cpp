#include "kelvore/disc/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "kelvore/base/errors.h"
#include "kelvore/disc/alignment.h"
#include "kelvore/disc/big_endian.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/disc/streaming_audio.h"
#include "kelvore/testing/synthetic_image.h"

namespace kelvore {
namespace {

using testkit::NestedDiscRecipe;
using testkit::SyntheticImage;
using testkit::SyntheticImageRecipe;

constexpr std::uint64_t k32KiB = 0x8000;

TEST(FileAlignment, IsTheLargestPowerOfTwoDividingTheOffsetBetween4BytesAnd32KiB) {
  EXPECT_EQ(FileAlignment(0x12344), 4u);
  EXPECT_EQ(FileAlignment(0x12348), 8u);
  EXPECT_EQ(FileAlignment(0x12800), 0x800u);
  EXPECT_EQ(FileAlignment(0x18000), 0x8000u);
  EXPECT_EQ(FileAlignment(0x40000000), 0x8000u);
  EXPECT_EQ(FileAlignment(0), 0x8000u);
  // Offsets that are not even multiples of 4 still get the console's minimum.
  EXPECT_EQ(FileAlignment(0x12346), 4u);
  EXPECT_EQ(FileAlignment(0x12345), 4u);
}

TEST(StreamingAudioName, MatchesAdpAndDtkInAnyCaseOnly) {
  for (const char* name : {"bgm.adp", "BGM.ADP", "v01.Dtk", ".adp"}) {
    EXPECT_TRUE(IsStreamingAudioName(name)) << name;
  }
  for (const char* name : {"adp", "bgm.adpcm", "bgm.adp.bak", "dtk.bin", ""}) {
    EXPECT_FALSE(IsStreamingAudioName(name)) << name;
  }
}

class LayoutTest : public ::testing::Test {
 protected:
  Layout Plan(ImageMode mode, LayoutOptions options = {}) const {
    return PlanLayout(disc_, mode, options);
  }

  // Checks that files follow one another in FST order from the FST's end, each on the
  // alignment `alignment_of(i)` gives, with no larger gap than that alignment needs.
  template <typename AlignmentOf>
  void ExpectPackedInOrder(const Layout& layout, AlignmentOf alignment_of) const {
    std::uint64_t previous_end = layout.fst_offset + disc_.fst.SizeInBytes();
    const auto& files = disc_.fst.Files();
    for (std::size_t i = 0; i < files.size(); ++i) {
      SCOPED_TRACE(disc_.fst.PathOf(files[i].entry));
      const std::uint64_t alignment = alignment_of(i);
      EXPECT_EQ(layout.file_offsets[i] % alignment, 0u);
      EXPECT_GE(layout.file_offsets[i], previous_end);
      EXPECT_LT(layout.file_offsets[i] - previous_end, alignment);
      previous_end = layout.file_offsets[i] + files[i].length;
    }
  }

  const SyntheticImage image_{NestedDiscRecipe()};
  const Disc disc_ = ReadDisc(MemoryByteSource(image_.Bytes()));
};

TEST_F(LayoutTest, StandardImageKeepsSystemAreaAndPacksFilesInFstOrder) {
  const Layout layout = Plan(ImageMode::kStandard);
  EXPECT_EQ(layout.image_size, 1'459'978'240u);
  // The apploader ends at 0x36D4: the DOL (0xD00 bytes) goes to the next 32 KiB, the FST to
  // the one after.
  EXPECT_EQ(layout.dol_offset, 0x8000u);
  EXPECT_EQ(layout.fst_offset, 0x10000u);
  ASSERT_EQ(layout.file_offsets.size(), disc_.fst.Files().size());
  EXPECT_TRUE(layout.streaming_audio_entries.empty());
}

TEST_F(LayoutTest, FilesFollowInFstOrderKeepingTheirSourceAlignment) {
  const auto& recipe = NestedDiscRecipe().files;
  const Layout layout = Plan(ImageMode::kStandard);
  ExpectPackedInOrder(layout, [&](std::size_t i) {
    const auto file = std::find_if(recipe.begin(), recipe.end(), [&](const auto& wanted) {
      return "/" + wanted.path == image_.Files()[i].path;
    });
    return std::uint64_t{file->alignment};
  });
}

TEST_F(LayoutTest, LargeImageMovesTheFileAreaAsOneBlockToTheEnd) {
  const Layout standard = Plan(ImageMode::kStandard);
  const Layout large = Plan(ImageMode::kLarge);
  EXPECT_EQ(large.image_size, 3'221'225'472u);
  EXPECT_EQ(large.dol_offset, standard.dol_offset);
  EXPECT_EQ(large.fst_offset, standard.fst_offset);

  const std::uint64_t shift = large.file_offsets[0] - standard.file_offsets[0];
  EXPECT_EQ(shift % k32KiB, 0u);
  for (std::size_t i = 0; i < large.file_offsets.size(); ++i) {
    EXPECT_EQ(large.file_offsets[i], standard.file_offsets[i] + shift);
  }
  const auto& files = disc_.fst.Files();
  const std::uint64_t end = large.file_offsets.back() + files.back().length;
  EXPECT_LE(end, large.image_size);
  EXPECT_LT(large.image_size - end, k32KiB);
}

TEST_F(LayoutTest, OptionTPutsEveryFileOn32KiB) {
  for (ImageMode mode : {ImageMode::kStandard, ImageMode::kLarge}) {
    const Layout layout = Plan(mode, {.align_all_files = true});
    for (std::uint32_t offset : layout.file_offsets) EXPECT_EQ(offset % k32KiB, 0u);
  }
}

TEST_F(LayoutTest, OptionSGivesStreamingAudioWholeBlocksAndListsIt) {
  const Layout layout = Plan(ImageMode::kStandard, {.isolate_streaming_audio = true});
  EXPECT_EQ(layout.streaming_audio_entries,
            (std::vector<std::uint32_t>{image_.EntryOf("/audio/bgm01.adp"),
                                        image_.EntryOf("/audio/voice/v01.dtk"),
                                        image_.EntryOf("/MUSIC.ADP")}));
  const auto& files = disc_.fst.Files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const bool streaming = IsStreamingAudioName(disc_.fst.NameOf(files[i].entry));
    SCOPED_TRACE(disc_.fst.PathOf(files[i].entry));
    if (streaming) {
      EXPECT_EQ(layout.file_offsets[i] % k32KiB, 0u);
      if (i + 1 < files.size()) {
        EXPECT_GE(layout.file_offsets[i + 1],
                  AlignUp(layout.file_offsets[i] + files[i].length, k32KiB));
      }
    } else {
      EXPECT_EQ(layout.file_offsets[i] % FileAlignment(files[i].offset), 0u);
    }
  }
  // Ordinary files keep their finer alignment: s does not turn into t.
  EXPECT_NE(layout.file_offsets[6] % k32KiB, 0u) << disc_.fst.PathOf(files[6].entry);
}

// The pieces end where their data ends: the bytes just outside one are an empty stretch.
TEST_F(LayoutTest, PlanNamesWhatLiesAtEachOffsetUpToThePiecesEdges) {
  const Layout layout = Plan(ImageMode::kStandard);
  std::vector<std::byte> header = image_.SystemArea();
  header.resize(0x440);
  const ImagePlan plan(disc_, layout, header);
  const std::uint64_t dol_end = layout.dol_offset + disc_.dol_length;
  EXPECT_EQ(plan.DescribeOffset(layout.dol_offset - 1), "an empty stretch");
  EXPECT_EQ(plan.DescribeOffset(layout.dol_offset), "the DOL");
  EXPECT_EQ(plan.DescribeOffset(dol_end - 1), "the DOL");
  EXPECT_EQ(plan.DescribeOffset(dol_end), "an empty stretch");
  EXPECT_EQ(plan.DescribeOffset(layout.fst_offset), "the FST");
  EXPECT_EQ(plan.DescribeOffset(0x43F), "the disc header");
  EXPECT_EQ(plan.DescribeOffset(0x440), "the header information and apploader");
}

// A disc with one file of `length` bytes; only its system area is held in memory.
Disc DiscWithOneFile(std::uint32_t length) {
  SyntheticImageRecipe recipe;
  recipe.files = {{"big.bin", length, 32 * 1024}};
  const SyntheticImage image(recipe);
  return ReadDisc(MemoryByteSource(image.SystemArea(), image.Size()));
}

TEST(LayoutFit, StandardModeRefusesDataThatDoesNotFitAndSaysByHowMuch) {
  // FST at 0x10000 with 32 bytes, so the file starts at 0x18000.
  const Disc disc = DiscWithOneFile(1'459'978'240 - 0x18000 + 1000);
  try {
    PlanLayout(disc, ImageMode::kStandard, {});
    ADD_FAILURE() << "accepted";
  } catch (const ImageError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("1,000 bytes more"), std::string::npos) << message;
    EXPECT_NE(message.find("3 GB mode (g)"), std::string::npos) << message;
  }
  const Layout large = PlanLayout(disc, ImageMode::kLarge, {});
  EXPECT_EQ(large.file_offsets[0] + std::uint64_t{disc.fst.Files()[0].length} + 0x7C18,
            large.image_size);
}

std::string FitFailure(const Disc& disc, ImageMode mode) {
  try {
    PlanLayout(disc, mode, {});
  } catch (const ImageError& error) {
    return error.what();
  }
  return "fits";
}

TEST(LayoutFit, DataEndingExactlyAtTheImageEndFitsAndOneByteMoreDoesNot) {
  constexpr std::uint64_t kFirstFileOffset = 0x18000;
  EXPECT_EQ(FitFailure(DiscWithOneFile(1'459'978'240 - kFirstFileOffset), ImageMode::kStandard),
            "fits");
  const std::string one_more =
      FitFailure(DiscWithOneFile(1'459'978'240 - kFirstFileOffset + 1), ImageMode::kStandard);
  EXPECT_NE(one_more.find("needs 1 byte more than the 1,459,978,240 bytes"), std::string::npos)
      << one_more;
  EXPECT_EQ(FitFailure(DiscWithOneFile(3'221'225'472 - kFirstFileOffset), ImageMode::kLarge),
            "fits");
  // Data that fills a 3 GB image exactly is pointed to it.
  const std::string fills_large =
      FitFailure(DiscWithOneFile(3'221'225'472 - kFirstFileOffset), ImageMode::kStandard);
  EXPECT_TRUE(fills_large.ends_with(" The 3 GB mode (g) may help.")) << fills_large;
  EXPECT_NE(FitFailure(DiscWithOneFile(3'221'225'472 - kFirstFileOffset + 1), ImageMode::kLarge)
                .find("not fit even a 3 GB image: it needs 1 byte more"),
            std::string::npos);
}

// The 3 GB mode is suggested only where the data would fit it.
TEST(LayoutFit, DataBeyondThreeGigabytesFitsNeitherModeAndNoneIsSuggested) {
  const Disc disc = DiscWithOneFile(0xFFFFFFFF);
  const std::string standard = FitFailure(disc, ImageMode::kStandard);
  EXPECT_EQ(standard.find("may help"), std::string::npos) << standard;
  EXPECT_NE(standard.find("It does not fit a 3 GB image (g) either."), std::string::npos)
      << standard;
  EXPECT_NE(FitFailure(disc, ImageMode::kLarge).find("does not fit even a 3 GB image"),
            std::string::npos);
}

// A file without data has nothing that a wiped image could lack, wherever its offset points,
// and nothing to take space for.
TEST(ZeroByteFile, IsAcceptedWhereverItPointsAndTakesNoSpace) {
  SyntheticImageRecipe recipe;
  recipe.files = {{"a.bin", 100, 4}, {"empty.adp", 0, 4}, {"b.bin", 100, 4}};
  const SyntheticImage image(recipe);
  std::vector<std::byte> bytes = image.Bytes();
  StoreBe32(bytes, image.FstOffset() + std::size_t{image.EntryOf("/empty.adp")} * 12 + 4,
            0x7FFF0000);
  const Disc disc = ReadDisc(MemoryByteSource(bytes));
  for (const LayoutOptions options : {LayoutOptions{}, LayoutOptions{.align_all_files = true},
                                      LayoutOptions{.isolate_streaming_audio = true}}) {
    const Layout layout = PlanLayout(disc, ImageMode::kStandard, options);
    const std::uint64_t a_end = layout.file_offsets[0] + 100;
    EXPECT_EQ(layout.file_offsets[2], AlignUp(a_end, options.align_all_files ? k32KiB : 4));
    EXPECT_GE(layout.file_offsets[1], a_end);
    EXPECT_LE(layout.file_offsets[1], layout.image_size);
    EXPECT_TRUE(layout.streaming_audio_entries.empty());
  }
}

}  // namespace
}  // namespace kelvore
