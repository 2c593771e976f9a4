#include "kelvore/tool/rebuild_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "kelvore/disc/big_endian.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/disc/layout.h"
#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/platform/file_system.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/faulty_output_file.h"
#include "kelvore/tests/recording_console.h"
#include "kelvore/tests/temp_folder.h"

namespace kelvore {
namespace {

using testkit::FaultyOutputFile;
using testkit::FileSize;
using testkit::NestedDiscRecipe;
using testkit::ReadFileBytes;
using testkit::ReadFileRange;
using testkit::RecordingConsole;
using testkit::SyntheticImage;
using testkit::TempFolder;
using testkit::WriteFileBytes;

using Strings = std::vector<std::string>;

bool AllZero(const std::vector<std::byte>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::byte b) { return b == std::byte{0}; });
}

class RebuildJobTest : public ::testing::Test {
 protected:
  RebuildJobTest() { WriteFileBytes(source_path_, source_bytes_); }

  int Run(RebuildRequest request) {
    if (request.image.empty()) request.image = source_path_;
    return RunRebuild(request, services_, console_, interrupted_);
  }

  // Makes every output file misbehave as `fault` says after `after_bytes`.
  void InjectFault(FaultyOutputFile::Fault fault, std::uint64_t after_bytes) {
    services_.create_output = [this, fault, after_bytes](const std::string& path) {
      return std::make_unique<FaultyOutputFile>(CreateOutputFile(path), fault, after_bytes,
                                                &interrupted_);
    };
  }

  // Checks the rebuilt image file by file against the source and the planned layout.
  void ExpectFaithfulRebuild(const std::string& output, ImageMode mode, LayoutOptions options) {
    const Disc source = ReadDisc(MemoryByteSource(source_bytes_));
    const Layout layout = PlanLayout(source, mode, options);
    ASSERT_EQ(FileSize(output), ImageSizeFor(mode));
    const Disc rebuilt = ReadDisc(*OpenSourceImage(output));

    std::vector<std::byte> system_area = ReadFileRange(output, 0, source.apploader_end);
    EXPECT_EQ(LoadBe32(system_area, 0x420), layout.dol_offset);
    EXPECT_EQ(LoadBe32(system_area, 0x424), layout.fst_offset);
    StoreBe32(system_area, 0x420, source.dol_offset);
    StoreBe32(system_area, 0x424, source.fst_offset);
    EXPECT_TRUE(std::equal(system_area.begin(), system_area.end(), source_bytes_.begin()));

    EXPECT_EQ(ReadFileRange(output, layout.dol_offset, source.dol_length),
              Slice(source.dol_offset, source.dol_length));
    EXPECT_TRUE(AllZero(
        ReadFileRange(output, source.apploader_end, layout.dol_offset - source.apploader_end)));

    const auto& before = source.fst.Files();
    const auto& after = rebuilt.fst.Files();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
      SCOPED_TRACE(rebuilt.fst.PathOf(after[i].entry));
      EXPECT_EQ(rebuilt.fst.PathOf(after[i].entry), source.fst.PathOf(before[i].entry));
      EXPECT_EQ(after[i].offset, layout.file_offsets[i]);
      EXPECT_EQ(after[i].length, before[i].length);
      EXPECT_EQ(ReadFileRange(output, after[i].offset, after[i].length),
                Slice(before[i].offset, before[i].length));
    }
    const std::uint64_t tail =
        std::min<std::uint64_t>(0x10000, ImageSizeFor(mode) - DataEnd(rebuilt));
    EXPECT_TRUE(AllZero(ReadFileRange(output, ImageSizeFor(mode) - tail, tail)));
  }

  static std::uint64_t DataEnd(const Disc& disc) {
    std::uint64_t end = disc.fst_offset + disc.fst.SizeInBytes();
    for (const DiscFile& file : disc.fst.Files())
      end = std::max<std::uint64_t>(end, file.offset + file.length);
    return end;
  }

  std::vector<std::byte> Slice(std::uint64_t offset, std::uint64_t length) const {
    const auto begin = source_bytes_.begin() + static_cast<std::ptrdiff_t>(offset);
    return {begin, begin + static_cast<std::ptrdiff_t>(length)};
  }

  void ExpectSourceUnchanged() const { EXPECT_EQ(ReadFileBytes(source_path_), source_bytes_); }

  TempFolder folder_;
  const SyntheticImage image_{NestedDiscRecipe()};
  const std::vector<std::byte> source_bytes_ = image_.Bytes();
  const std::string source_path_ = folder_.PathOf("Disc One.gcm");
  const std::string default_output_ = folder_.PathOf("Disc One.rebuilt.gcm");
  RebuildServices services_{OpenSourceImage, CreateOutputFile, PathExists};
  RecordingConsole console_;
  std::atomic<bool> interrupted_{false};
};

TEST_F(RebuildJobTest, StandardModeWritesAFullImageBesideTheSource) {
  EXPECT_EQ(Run({.mode = ImageMode::kStandard}), 0) << console_.AllErrors();
  EXPECT_EQ(folder_.Entries(), (Strings{"Disc One.gcm", "Disc One.rebuilt.gcm"}));
  ExpectFaithfulRebuild(default_output_, ImageMode::kStandard, {});
  ExpectSourceUnchanged();
  EXPECT_NE(console_.AllLines().find("Done: " + default_output_ + " (1,459,978,240 bytes)."),
            std::string::npos);
}

TEST_F(RebuildJobTest, LargeModeWritesTheRequestedOutputWithFilesAtTheOuterEdge) {
  const std::string output = folder_.PathOf("big.gcm");
  EXPECT_EQ(Run({.mode = ImageMode::kLarge, .output = output}), 0) << console_.AllErrors();
  EXPECT_EQ(folder_.Entries(), (Strings{"Disc One.gcm", "big.gcm"}));
  ExpectFaithfulRebuild(output, ImageMode::kLarge, {});
  const Disc rebuilt = ReadDisc(*OpenSourceImage(output));
  EXPECT_LT(3'221'225'472u - DataEnd(rebuilt), 0x8000u);
  ExpectSourceUnchanged();
}

TEST_F(RebuildJobTest, OptionsTAndSShapeTheWrittenImage) {
  const LayoutOptions both{.align_all_files = true, .isolate_streaming_audio = true};
  EXPECT_EQ(Run({.mode = ImageMode::kStandard, .options = both}), 0) << console_.AllErrors();
  ExpectFaithfulRebuild(default_output_, ImageMode::kStandard, both);
  const Disc rebuilt = ReadDisc(*OpenSourceImage(default_output_));
  for (const DiscFile& file : rebuilt.fst.Files()) {
    EXPECT_EQ(file.offset % 0x8000, 0u);
  }
}

TEST_F(RebuildJobTest, TellsWhatItRebuildsAndListsStreamingAudio) {
  EXPECT_EQ(Run({.mode = ImageMode::kLarge,
                 .options = {.isolate_streaming_audio = true},
                 .verify = false}),
            0);
  const std::string lines = console_.AllLines();
  for (const char* expected :
       {"Rebuilding GKVE01 \"Kelvore Test Disc\"", "11 files",
        "g, a 3 GB image of 3,221,225,472 bytes", "Options: s (streaming audio", "Verify:  no",
        "  /audio/bgm01.adp\n  /audio/voice/v01.dtk\n  /MUSIC.ADP\n"}) {
    EXPECT_NE(lines.find(expected), std::string::npos) << expected << "\n" << lines;
  }
  EXPECT_NE(lines.find("Writing   [####################] 100%"), std::string::npos);
}

TEST_F(RebuildJobTest, NeverReplacesAnExistingOutput) {
  const std::vector<std::byte> precious{std::byte{1}, std::byte{2}};
  WriteFileBytes(default_output_, precious);
  EXPECT_EQ(Run({}), 3);
  EXPECT_NE(console_.AllErrors().find("already exists"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(default_output_), precious);
  EXPECT_EQ(folder_.Entries(), (Strings{"Disc One.gcm", "Disc One.rebuilt.gcm"}));
}

TEST_F(RebuildJobTest, LeavesAForeignPartFileAlone) {
  const std::vector<std::byte> other_run{std::byte{7}};
  WriteFileBytes(default_output_ + ".part", other_run);
  EXPECT_EQ(Run({}), 3);
  EXPECT_NE(console_.AllErrors().find("another rebuild"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(default_output_ + ".part"), other_run);
}

TEST_F(RebuildJobTest, FailureMidWriteLeavesNothingBehind) {
  InjectFault(FaultyOutputFile::Fault::kFailWrite, 100'000);
  EXPECT_EQ(Run({}), 3);
  EXPECT_NE(console_.AllErrors().find("no space left"), std::string::npos);
  EXPECT_NE(console_.AllErrors().find("The unfinished image was removed."), std::string::npos);
  EXPECT_EQ(folder_.Entries(), Strings{"Disc One.gcm"});
  ExpectSourceUnchanged();
}

TEST_F(RebuildJobTest, InterruptionLeavesNothingBehind) {
  InjectFault(FaultyOutputFile::Fault::kInterrupt, 50'000);
  EXPECT_EQ(Run({}), 3);
  EXPECT_NE(console_.AllErrors().find("Interrupted."), std::string::npos);
  EXPECT_EQ(folder_.Entries(), Strings{"Disc One.gcm"});
}

TEST_F(RebuildJobTest, VerificationRefusesAnImageThatReadsBackWrong) {
  InjectFault(FaultyOutputFile::Fault::kCorruptByte, 200'000);
  EXPECT_EQ(Run({}), 3);
  EXPECT_NE(console_.AllErrors().find("Verification failed: /data/level1/map.dat"),
            std::string::npos)
      << console_.AllErrors();
  EXPECT_EQ(folder_.Entries(), Strings{"Disc One.gcm"});

  // The same fault goes unnoticed without verification: it is what catches it.
  EXPECT_EQ(Run({.verify = false}), 0);
}

TEST_F(RebuildJobTest, RefusesInvalidImagesWithCodeTwo) {
  std::vector<std::byte> damaged = source_bytes_;
  damaged.resize(damaged.size() - 1);
  WriteFileBytes(source_path_, damaged);
  EXPECT_EQ(Run({}), 2);
  EXPECT_NE(console_.AllErrors().find("/opening.bnr"), std::string::npos);

  StoreBe32(damaged, 0x1C, 0);
  WriteFileBytes(source_path_, damaged);
  EXPECT_EQ(Run({}), 2);
  EXPECT_NE(console_.AllErrors().find("not a GameCube disc image"), std::string::npos);
  EXPECT_EQ(folder_.Entries(), Strings{"Disc One.gcm"});
}

TEST_F(RebuildJobTest, RefusesDataThatDoesNotFitWithCodeTwo) {
  testkit::SyntheticImageRecipe recipe;
  recipe.files = {{"huge.bin", 1'500'000'000, 4}};
  const SyntheticImage huge(recipe);
  services_.open_source = [&huge](const std::string&) {
    return std::make_unique<MemoryByteSource>(huge.SystemArea(), huge.Size());
  };
  EXPECT_EQ(Run({}), 2);
  EXPECT_NE(console_.AllErrors().find("3 GB mode (g) may help"), std::string::npos);
  EXPECT_EQ(folder_.Entries(), Strings{"Disc One.gcm"});
}

TEST_F(RebuildJobTest, MissingSourceIsAnInputFailure) {
  EXPECT_EQ(Run({.image = folder_.PathOf("absent.gcm")}), 3);
  EXPECT_NE(console_.AllErrors().find("Cannot open"), std::string::npos);
  EXPECT_EQ(folder_.Entries(), Strings{"Disc One.gcm"});
}

}  // namespace
}  // namespace kelvore
