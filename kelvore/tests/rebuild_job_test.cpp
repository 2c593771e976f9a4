#include "kelvore/tool/rebuild_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "kelvore/base/message_format.h"
#include "kelvore/disc/big_endian.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/disc/layout.h"
#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/platform/file_system.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/faulty_output_file.h"
#include "kelvore/tests/memory_source_image.h"
#include "kelvore/tests/recording_console.h"
#include "kelvore/tests/storage_fakes.h"
#include "kelvore/tests/temp_folder.h"
#include "kelvore/tool/image_verifier.h"
#include "kelvore/tool/image_writer.h"
#include "kelvore/tool/output_path.h"
#include "kelvore/tool/write_back.h"

namespace kelvore {
namespace {

using testkit::CachedDiskFile;
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

  // Makes the output a CachedDiskFile whose state the test keeps.
  std::shared_ptr<CachedDiskFile::State> UseCachedDisk() {
    auto state = std::make_shared<CachedDiskFile::State>();
    services_.create_output = [state](const std::string&) {
      return std::make_unique<CachedDiskFile>(state);
    };
    return state;
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

  // The written image holds the source's header, but for the DOL and FST offsets.
  void ExpectFaithfulRebuildInMemory(const CachedDiskFile::State& disk) const {
    std::vector<std::byte> header(0x420);
    disk.cache.Read(0, header);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), source_bytes_.begin()));
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
  EXPECT_EQ(console_.AllErrors().find("unfinished"), std::string::npos) << "none was started";
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
    return std::make_unique<testkit::MemorySourceImage>(huge.SystemArea(), huge.Size());
  };
  EXPECT_EQ(Run({}), 2);
  EXPECT_NE(console_.AllErrors().find("3 GB mode (g) may help"), std::string::npos);
  EXPECT_EQ(folder_.Entries(), Strings{"Disc One.gcm"});
}

TEST_F(RebuildJobTest, MissingSourceIsAnInputFailure) {
  EXPECT_EQ(Run({.image = folder_.PathOf("absent.gcm")}), 3);
  EXPECT_NE(console_.AllErrors().find("Cannot open"), std::string::npos);
  EXPECT_EQ(console_.AllErrors().find("unfinished"), std::string::npos) << "none was started";
  EXPECT_EQ(folder_.Entries(), Strings{"Disc One.gcm"});
}

}  // namespace
}  // namespace kelvore

namespace kelvore {
namespace {

using Events = std::vector<std::string>;

// The index of the first event starting with `prefix`, or the number of events.
std::size_t FirstEvent(const Events& events, std::string_view prefix) {
  const auto found = std::find_if(events.begin(), events.end(),
                                  [prefix](const std::string& e) { return e.starts_with(prefix); });
  return static_cast<std::size_t>(found - events.begin());
}

std::size_t CountEvents(const Events& events, std::string_view prefix) {
  return static_cast<std::size_t>(
      std::count_if(events.begin(), events.end(),
                    [prefix](const std::string& e) { return e.starts_with(prefix); }));
}

struct Alignment {
  std::size_t sector_size;
  std::size_t buffer_alignment;
};

class ReadBackTest : public RebuildJobTest, public ::testing::WithParamInterface<Alignment> {};

// A byte that reaches the disk altered is invisible in the system's cache: only a read from
// the disk, after the flush and with the cache dropped, finds it, whatever the sector size
// and however the storage wants its buffers aligned.
TEST_P(ReadBackTest, VerificationReadsTheDiskAfterFlushingAndDroppingTheCache) {
  const auto disk = UseCachedDisk();
  disk->sector_size = GetParam().sector_size;
  disk->buffer_alignment = GetParam().buffer_alignment;
  const Disc source = ReadDisc(MemoryByteSource(source_bytes_));
  const Layout layout = PlanLayout(source, ImageMode::kStandard, {});
  const auto& files = source.fst.Files();
  const auto map = std::find_if(files.begin(), files.end(), [&](const DiscFile& file) {
    return source.fst.PathOf(file.entry) == "/data/level1/map.dat";
  });
  ASSERT_NE(map, files.end());
  disk->damage_at = layout.file_offsets[static_cast<std::size_t>(map - files.begin())] + 5000;

  EXPECT_EQ(Run({}), 3);
  EXPECT_NE(console_.AllErrors().find("Verification failed: /data/level1/map.dat reads back from "
                                      "the disk differently at offset " +
                                      Hex(*disk->damage_at)),
            std::string::npos)
      << console_.AllErrors();
  const Events& events = disk->events;
  EXPECT_EQ(FirstEvent(events, "size"), 0u) << "the full size is taken before any write";
  EXPECT_LT(FirstEvent(events, "flush"), FirstEvent(events, "drop"));
  EXPECT_LT(FirstEvent(events, "drop"), FirstEvent(events, "read"));
  EXPECT_LT(CountEvents(events, "read"), events.size());
  EXPECT_EQ(CountEvents(events, "commit"), 0u);
}

INSTANTIATE_TEST_SUITE_P(SectorSizes, ReadBackTest,
                         ::testing::Values(Alignment{4096, 4096}, Alignment{32768, 32768},
                                           Alignment{4096, 32768}));

// Where the reader cannot make sure that it reaches the disk, the rebuild says so before it
// verifies; elsewhere it says nothing of the kind.
TEST_F(RebuildJobTest, SaysTheReadBackIsBestEffortOnlyWhereItIs) {
  const auto disk = UseCachedDisk();
  disk->bypasses_cache = false;
  ASSERT_EQ(Run({}), 0) << console_.AllErrors();
  const Strings note{"Note: the read-back is best effort here: the system may answer it from a",
                     "  copy of the image in memory rather than from the disk."};
  const auto shown =
      std::search(console_.lines.begin(), console_.lines.end(), note.begin(), note.end());
  EXPECT_NE(shown, console_.lines.end()) << console_.AllLines();

  console_.lines.clear();
  disk->bypasses_cache = true;
  ASSERT_EQ(Run({}), 0) << console_.AllErrors();
  EXPECT_EQ(console_.AllLines().find("best effort"), std::string::npos) << console_.AllLines();
}

// Two files meet exactly where the read-back's first block ends and the next begins; a
// byte on either side of the boundary is checked.
TEST_F(RebuildJobTest, VerificationComparesFilesThatMeetAtABlockBoundary) {
  constexpr std::uint64_t kBoundary = kReadBackBlock;
  constexpr std::uint32_t kFirstFileOffset = 0x18000;
  testkit::SyntheticImageRecipe recipe;
  recipe.files = {{"a.bin", kBoundary - kFirstFileOffset, 32 * 1024}, {"b.bin", 5000, 32 * 1024}};
  const SyntheticImage image(recipe);
  image.WriteTo(source_path_);
  const Disc source = ReadDisc(MemoryByteSource(image.Bytes()));
  ASSERT_EQ(PlanLayout(source, ImageMode::kStandard, {}).file_offsets[1], kBoundary);
  for (const std::uint64_t damaged : {kBoundary - 1, kBoundary}) {
    SCOPED_TRACE(damaged);
    const auto disk = UseCachedDisk();
    disk->damage_at = damaged;
    console_ = {};
    EXPECT_EQ(Run({}), 3);
    EXPECT_NE(console_.AllErrors().find(std::string(damaged == kBoundary ? "/b.bin" : "/a.bin") +
                                        " reads back from the disk differently at offset " +
                                        Hex(damaged)),
              std::string::npos)
        << console_.AllErrors();
  }
}

TEST_F(RebuildJobTest, VerificationFindsNonZeroBytesBetweenFiles) {
  const auto disk = UseCachedDisk();
  disk->damage_at = 1'459'978'240 - 1;
  EXPECT_EQ(Run({}), 3);
  EXPECT_NE(console_.AllErrors().find("Verification failed: an empty stretch reads back"),
            std::string::npos)
      << console_.AllErrors();
}

// Each window of written data is started as soon as it is complete and waited for once the
// next one has started; everything written has been waited for before the final flush, and
// the image is named only after that.
TEST_F(RebuildJobTest, WritesBackWindowByWindowAndNamesTheImageLast) {
  testkit::SyntheticImageRecipe recipe;
  recipe.files = {{"a.bin", 20 << 20, 4}, {"b.bin", 20 << 20, 32 * 1024}, {"c.bin", 5000, 4}};
  SyntheticImage(recipe).WriteTo(source_path_);
  const auto disk = UseCachedDisk();
  ASSERT_EQ(Run({.verify = false}), 0) << console_.AllErrors();

  const Events& events = disk->events;
  std::vector<std::string> started;
  std::uint64_t written_end = 0;
  std::uint64_t waited_end = 0;
  std::uint64_t unstarted = 0;  // data written since the last window started
  std::uint64_t last_write = 0;
  std::vector<std::uint64_t> window_data;
  for (const std::string& event : events) {
    const std::size_t space = event.find(' ');
    const std::string range = event.substr(space + 1);
    const bool ranged = space != std::string::npos && !event.starts_with("commit");
    const std::uint64_t offset = ranged ? std::stoull(range) : 0;
    const std::uint64_t end = ranged ? offset + std::stoull(range.substr(range.find('+') + 1)) : 0;
    if (event.starts_with("write ")) {
      EXPECT_GE(offset, written_end) << "writes go in ascending order";
      written_end = end;
      last_write = end - offset;
      unstarted += last_write;
    } else if (event.starts_with("start ")) {
      started.push_back(range);
      EXPECT_EQ(end, written_end) << "a window starts as soon as it is written";
      EXPECT_LT(unstarted - last_write, kWriteBackWindow) << "and as soon as it is full";
      window_data.push_back(std::exchange(unstarted, 0));
    } else if (event.starts_with("wait ")) {
      ASSERT_FALSE(started.empty());
      EXPECT_EQ(range, started.front()) << "windows are waited for in order";
      EXPECT_EQ(offset, waited_end) << "no stretch is skipped";
      started.erase(started.begin());
      EXPECT_LE(started.size(), 1u) << "one window at most is left writing back";
      waited_end = end;
    }
  }
  EXPECT_GE(CountEvents(events, "wait"), 2u);
  ASSERT_FALSE(window_data.empty());
  for (std::size_t i = 0; i + 1 < window_data.size(); ++i) {
    EXPECT_GE(window_data[i], kWriteBackWindow) << "only the last window holds less";
  }
  EXPECT_TRUE(started.empty());
  EXPECT_EQ(waited_end, written_end);
  EXPECT_LT(FirstEvent(events, "wait"), FirstEvent(events, "flush"));
  EXPECT_EQ(events.back(), "commit " + default_output_);
  EXPECT_EQ(CountEvents(events, "drop") + CountEvents(events, "read"), 0u);
}

// Ctrl+C is honoured at the next chunk or block: nothing more is written or read after it.
TEST_F(RebuildJobTest, InterruptionStopsWritingOrVerifyingAtTheNextChunk) {
  for (const std::string phase : {"write", "read"}) {
    SCOPED_TRACE(phase);
    interrupted_ = false;
    const auto disk = UseCachedDisk();
    std::size_t seen = 0;
    disk->on_event = [&](const std::string& event) {
      if (event.starts_with(phase) && ++seen == 2) interrupted_ = true;
    };
    console_ = {};
    EXPECT_EQ(Run({}), 3);
    EXPECT_EQ(console_.AllErrors(), "Error: Interrupted.\nThe unfinished image was removed.\n");
    EXPECT_EQ(CountEvents(disk->events, phase), 2u);
    EXPECT_EQ(CountEvents(disk->events, "commit"), 0u);
  }
}

// Before any byte is written, a rebuild that would leave streaming audio off 32 KiB says so;
// it then does what was asked.
TEST_F(RebuildJobTest, WarnsBeforeWritingOfStreamingAudioThatCouldFreezeTheGame) {
  const auto disk = UseCachedDisk();
  std::string said_before_writing;
  disk->on_event = [&](const std::string& event) {
    if (event.starts_with("size")) said_before_writing = console_.AllLines();
  };
  ASSERT_EQ(Run({.verify = false}), 0) << console_.AllErrors();
  EXPECT_NE(said_before_writing.find(
                "Warning: this disc streams audio, and 2 streaming audio files would not start\n"
                "  on 32 KiB in the new image: the game may freeze when it plays them. Option s\n"
                "  (Corvane's \"S\" box) or t places streaming audio on 32 KiB. Rebuilding as "
                "asked.\n"),
            std::string::npos)
      << said_before_writing;
  ExpectFaithfulRebuildInMemory(*disk);

  console_ = {};
  const LayoutOptions both{.align_all_files = true, .isolate_streaming_audio = true};
  ASSERT_EQ(Run({.options = both, .output = folder_.PathOf("other.gcm"), .verify = false}), 0);
  EXPECT_EQ(console_.AllLines().find("Warning"), std::string::npos);
  EXPECT_NE(console_.AllLines().find("  Options: t (every file on 32 KiB), s (streaming audio on "
                                     "whole 32 KiB blocks)\n"),
            std::string::npos)
      << console_.AllLines();
}

TEST_F(RebuildJobTest, SaysOnceThatAFullSizeImageIsRebuiltAnyway) {
  services_.open_source = [this](const std::string&) {
    return std::make_unique<testkit::MemorySourceImage>(image_.SystemArea(), 1'459'978'240);
  };
  UseCachedDisk();
  ASSERT_EQ(Run({.mode = ImageMode::kLarge, .options = {.align_all_files = true}, .verify = false}),
            0)
      << console_.AllErrors();
  const std::string note =
      "Note: this is already a full-size image; rebuilding it anyway with g t.";
  const std::string lines = console_.AllLines();
  ASSERT_NE(lines.find(note), std::string::npos) << lines;
  EXPECT_EQ(lines.find(note, lines.find(note) + 1), std::string::npos);

  // Neither a wiped nor an oversize image has the full size.
  services_.open_source = [this](const std::string&) {
    return std::make_unique<testkit::MemorySourceImage>(image_.SystemArea(), 1'459'978'241);
  };
  for (const char* output : {"oversize.gcm", "wiped.gcm"}) {
    console_ = {};
    ASSERT_EQ(Run({.output = folder_.PathOf(output), .verify = false}), 0);
    EXPECT_EQ(console_.AllLines().find("Note:"), std::string::npos) << output;
    services_.open_source = OpenSourceImage;
  }
}

#ifndef _WIN32
// On POSIX nothing keeps others from writing the source while it is read (Windows opens it
// without write sharing). A writer may set the last-write time back (touch -r); the
// status-change time still tells, and the disk is not blamed for what the source did.
TEST_F(RebuildJobTest, ASourceChangedDuringTheRebuildIsNamedAsTheCause) {
  for (const bool verify : {true, false}) {
    for (const bool time_set_back : {false, true}) {
      SCOPED_TRACE(std::string(verify ? "verifying" : "not verifying") +
                   (time_set_back ? ", last-write time set back" : ""));
      WriteFileBytes(source_path_, source_bytes_);
      const auto disk = UseCachedDisk();
      disk->on_event = [&](const std::string& event) {
        if (event != "flush") return;
        // Past the file system clock's tick, so that the status-change time moves.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto written = std::filesystem::last_write_time(source_path_);
        std::vector<std::byte> altered = source_bytes_;
        altered.back() ^= std::byte{1};
        WriteFileBytes(source_path_, altered);
        std::filesystem::last_write_time(source_path_,
                                         time_set_back ? written : written + std::chrono::hours(1));
      };
      console_ = {};
      EXPECT_EQ(Run({.verify = verify}), 3);
      EXPECT_NE(console_.AllErrors().find("The source image " + source_path_ +
                                          " changed while it was read (its size, last-write "
                                          "time or status-change time is not what it was)"),
                std::string::npos)
          << console_.AllErrors();
      EXPECT_EQ(console_.AllErrors().find("Verification failed"), std::string::npos);
      EXPECT_EQ(CountEvents(disk->events, "commit"), 0u);
    }
  }
}

#endif

// Corvane passes short 8.3 names, so the source is recognised by what it is, not its name.
TEST_F(RebuildJobTest, RefusesAnOutputOrUnfinishedNameThatIsTheSourceItself) {
  const std::string part_named = folder_.PathOf("img.part");
  WriteFileBytes(part_named, source_bytes_);
  EXPECT_EQ(Run({.image = part_named, .output = folder_.PathOf("img")}), 3);
  EXPECT_NE(
      console_.AllErrors().find("Error: The unfinished image would be written as " + part_named +
                                ", which is the image to rebuild itself, and kelvore "
                                "never changes it."),
      std::string::npos)
      << console_.AllErrors();

  const std::string other_name = folder_.PathOf("other name.gcm");
  std::filesystem::create_hard_link(source_path_, other_name);
  console_ = {};
  EXPECT_EQ(Run({.output = other_name}), 3);
  EXPECT_NE(console_.AllErrors().find("Error: The output " + other_name +
                                      " is the image to rebuild itself, and kelvore never "
                                      "changes it. Name another output with -o.\n"),
            std::string::npos)
      << console_.AllErrors();
  EXPECT_EQ(console_.AllErrors().find("unfinished image was removed"), std::string::npos);
  ExpectSourceUnchanged();
  EXPECT_EQ(ReadFileBytes(part_named), source_bytes_);
}

// A finished image that keeps its unfinished name too is a failure, but not an unfinished
// image: nothing may claim it was removed.
TEST_F(RebuildJobTest, AFinishedImageWhoseNamingWentHalfWayIsReportedAndKept) {
  class LeftoverOnCommit : public CachedDiskFile {
   public:
    using CachedDiskFile::CachedDiskFile;
    void CommitAs(const std::string& final_path) override {
      CachedDiskFile::CommitAs(final_path);
      throw FinishedImageError(LeftoverPartMessage(final_path, final_path + ".part", "Busy"));
    }
  };
  const auto state = std::make_shared<CachedDiskFile::State>();
  services_.create_output = [state](const std::string&) {
    return std::make_unique<LeftoverOnCommit>(state);
  };
  EXPECT_EQ(Run({}), 3);
  EXPECT_EQ(console_.AllErrors(), "Error: The new image is complete as " + default_output_ +
                                      ", but its unfinished name " + default_output_ +
                                      ".part could not be removed (Busy); both names now show the "
                                      "same file. Remove " +
                                      default_output_ + ".part yourself.\n");
  EXPECT_EQ(console_.AllLines().find("Done"), std::string::npos);
}

#ifndef _WIN32
// Names are the system's own bytes, shown as they are but for control characters, which
// could otherwise clear the screen or forge a line of kelvore's own. (Windows allows no
// control characters in names.)
TEST_F(RebuildJobTest, PathsAreShownWithTheirControlCharactersEscaped) {
  const std::string forged = folder_.PathOf("x\x1B[2K\nDone: y.gcm");
  WriteFileBytes(forged, source_bytes_);
  UseCachedDisk();
  ASSERT_EQ(Run({.image = forged, .output = forged + "\x9B"}), 0) << console_.AllErrors();
  const std::string shown = folder_.PathOf("x\\x1B[2K\\x0ADone: y.gcm");
  EXPECT_NE(console_.AllLines().find("  Source:  " + shown + " ("), std::string::npos)
      << console_.AllLines();
  EXPECT_NE(console_.AllLines().find("Done: " + shown + "\\x9B (1,459,978,240 bytes)."),
            std::string::npos)
      << console_.AllLines();
  EXPECT_EQ(console_.AllLines().find('\x1B'), std::string::npos);
}

#endif

}  // namespace
}  // namespace kelvore
