#include "kelvore/tool/inspection_job.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <span>
#include <string>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/platform/file_system.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/memory_source_image.h"
#include "kelvore/tests/recording_console.h"
#include "kelvore/tests/temp_folder.h"
#include "kelvore/tool/piece_chunks.h"
#include "kelvore/tool/rebuild_summary.h"

namespace kelvore {
namespace {

using testkit::MemorySourceImage;
using testkit::NestedDiscRecipe;
using testkit::RecordingConsole;
using testkit::SyntheticImage;
using testkit::SyntheticImageRecipe;

constexpr std::uint64_t kFullSize = 1'459'978'240;

struct Inspection {
  int exit_code;
  std::string lines;
  std::string errors;
};

// Runs --info on the image `recipe` makes, claiming `size` bytes (default: its own size).
Inspection Inspect(const SyntheticImageRecipe& recipe, std::optional<std::uint64_t> size = {}) {
  const SyntheticImage image(recipe);
  const SourceOpener open = [&](const std::string&) {
    return std::make_unique<MemorySourceImage>(image.SystemArea(), size.value_or(image.Size()));
  };
  RecordingConsole console;
  const int code =
      RunInspection({.image = "/games/x.gcm", .info = true}, open, console, NeverInterrupted());
  return {code, console.AllLines(), console.AllErrors()};
}

void ExpectLines(const Inspection& inspection, std::initializer_list<std::string> expected) {
  EXPECT_EQ(inspection.exit_code, 0) << inspection.errors;
  for (const std::string& line : expected) {
    EXPECT_NE(inspection.lines.find(line + "\n"), std::string::npos) << "missing: " << line << "\n"
                                                                     << inspection.lines;
  }
}

TEST(DiscReport, NamesTheDiscItsRegionAndItsStreamingAudio) {
  ExpectLines(Inspect(NestedDiscRecipe()),
              {"Disc report for /games/x.gcm", "  Game code:       GKVE", "  Maker:           01",
               "  Title:           Kelvore Test Disc", "  Disc:            1",
               "  Revision:        0", "  Region:          USA (agrees with the game code's E)",
               "  Audio streaming: on, stream buffer size 10",
               "  Contents:        11 files in 5 folders, 427,079 bytes of file data",
               "Streaming audio files:", "  /audio/bgm01.adp  on 32 KiB"});
  // The list ends the report: its heading once, and each file where it lies.
  const SyntheticImage image(NestedDiscRecipe());
  const auto offset_of = [&image](std::string_view path) {
    for (const testkit::PlacedFile& file : image.Files()) {
      if (file.path == path) return Hex(file.offset);
    }
    return std::string("none");
  };
  const Inspection report = Inspect(NestedDiscRecipe());
  EXPECT_TRUE(
      report.lines.ends_with("\nStreaming audio files:\n"
                             "  /audio/bgm01.adp  on 32 KiB\n"
                             "  /audio/voice/v01.dtk  not on 32 KiB (at " +
                             offset_of("/audio/voice/v01.dtk") +
                             ")\n"
                             "  /MUSIC.ADP  not on 32 KiB (at " +
                             offset_of("/MUSIC.ADP") + ")\n"))
      << report.lines;
}

TEST(DiscReport, ReadsRegionDiscNumberAndRevisionOfEachKindOfDisc) {
  SyntheticImageRecipe japanese;
  japanese.game_code = "GZLJ";
  japanese.game_name = "\x83\x5B\x83\x8B\x83\x5F";  // ゼルダ in Shift-JIS
  japanese.disc_number = 1;
  ExpectLines(Inspect(japanese),
              {"  Title:           ゼルダ", "  Disc:            2",
               "  Region:          Japan (agrees with the game code's J)", "  Audio streaming: off",
               "No streaming audio files (.adp, .dtk)."});

  SyntheticImageRecipe german;
  german.game_code = "GKVD";
  german.revision = 1;
  ExpectLines(Inspect(german),
              {"  Revision:        1", "  Region:          PAL (agrees with the game code's D)"});

  SyntheticImageRecipe korean;
  korean.game_code = "GKVK";
  ExpectLines(Inspect(korean), {"  Region:          Japan (agrees with the game code's K)"});

  SyntheticImageRecipe korean_code;
  korean_code.game_code = "GKVK";
  korean_code.region = 4;
  ExpectLines(Inspect(korean_code), {"  Region:          Korea (agrees with the game code's K)"});

  SyntheticImageRecipe imported;
  imported.region = 2;
  ExpectLines(Inspect(imported), {"  Region:          PAL (the game code's E stands for USA)"});
  // Only K's discs may carry Japan's code.
  imported.region = 0;
  ExpectLines(Inspect(imported), {"  Region:          Japan (the game code's E stands for USA)"});

  SyntheticImageRecipe unknown;
  unknown.game_code = "GKVW";
  unknown.region = 7;
  ExpectLines(Inspect(unknown),
              {"  Region:          unknown region 7 (the game code's W is not compared)"});
}

// The streaming flag and the audio files are independent: each may come without the other.
TEST(DiscReport, ShowsTheStreamingFlagApartFromTheFiles) {
  SyntheticImageRecipe flag_only;
  flag_only.audio_streaming = true;
  flag_only.stream_buffer_size = 3;
  flag_only.files = {{"a.bin", 100, 4}};
  ExpectLines(Inspect(flag_only), {"  Audio streaming: on, stream buffer size 3",
                                   "No streaming audio files (.adp, .dtk)."});
  SyntheticImageRecipe files_only;
  files_only.files = {{"bgm.adp", 100, 32 * 1024}};
  ExpectLines(Inspect(files_only), {"  Audio streaming: off", "  /bgm.adp  on 32 KiB"});
  // A buffer size without the flag is shown, not hidden behind "off".
  SyntheticImageRecipe size_only;
  size_only.stream_buffer_size = 7;
  ExpectLines(Inspect(size_only), {"  Audio streaming: off, stream buffer size 7"});
}

// A file without data starts nowhere: it is neither on 32 KiB nor off it, wherever its
// offset points.
TEST(DiscReport, ListsAnEmptyStreamingAudioFileAsEmpty) {
  SyntheticImageRecipe recipe;
  recipe.audio_streaming = true;
  recipe.files = {{"a.bin", 100, 4}, {"empty.dtk", 0, 4}, {"off.adp", 100, 4}};
  const Inspection report = Inspect(recipe);
  ExpectLines(report, {"  /empty.dtk  empty, no data to place"});
  EXPECT_NE(report.lines.find("  /off.adp  not on 32 KiB (at 0x"), std::string::npos)
      << report.lines;
}

// The game code and the maker are fixed fields: a NUL anywhere in them is shown escaped,
// and the region is still compared by the code's fourth byte.
TEST(DiscReport, ShowsNulBytesOfTheGameCodeAndMakerEscaped) {
  SyntheticImageRecipe leading;
  leading.game_code = std::string("\0CVE", 4);
  leading.maker = std::string("0\0", 2);
  ExpectLines(Inspect(leading), {"  Game code:       \\x00CVE", "  Maker:           0\\x00",
                                 "  Region:          USA (agrees with the game code's E)"});
  SyntheticImageRecipe trailing;
  trailing.game_code = std::string("GKV\0", 4);
  trailing.region = 1;
  ExpectLines(Inspect(trailing),
              {"  Game code:       GKV\\x00",
               "  Region:          USA (the game code's \\x00 is not compared)"});
}

TEST(DiscReport, ClassifiesTheSizeAsCorvaneDoesAndSaysWhereTheDataFits) {
  const Inspection wiped = Inspect(NestedDiscRecipe());
  EXPECT_NE(wiped.lines.find(": wiped, "), std::string::npos) << wiped.lines;
  ExpectLines(wiped,
              {"  Fits f:          yes; with t: yes", "  Fits g:          yes; with t: yes"});
  ExpectLines(Inspect(NestedDiscRecipe(), kFullSize),
              {"  Size:            1,459,978,240 bytes: good, a full disc"});
  ExpectLines(Inspect(NestedDiscRecipe(), kFullSize + 1),
              {"  Size:            1,459,978,241 bytes: oversize, 1 byte more than a full disc"});
  ExpectLines(Inspect(NestedDiscRecipe(), kFullSize - 1),
              {"  Size:            1,459,978,239 bytes: wiped, 1 byte short of a full disc"});

  // Without t, big.bin follows a.bin at 0x18000 and ends 32 KiB before the disc's end; t puts
  // a.bin there too and moves big.bin one block on, to end exactly at the disc's end.
  SyntheticImageRecipe exact;
  exact.files = {{"a.bin", 100, 4}, {"big.bin", kFullSize - 0x18000 - 0x8000, 32 * 1024}};
  const Inspection fits = Inspect(exact, kFullSize);
  ExpectLines(fits, {"  Fits f:          yes; with t: yes"});

  SyntheticImageRecipe large;
  large.files = {{"huge.bin", 1'500'000'000, 4}};
  const Inspection needs_g = Inspect(large, 1'500'100'000);
  EXPECT_NE(needs_g.lines.find("  Fits f:          no, 40,"), std::string::npos) << needs_g.lines;
  ExpectLines(needs_g, {"  Fits g:          yes; with t: yes"});
}

TEST(DiscReport, AnInvalidImageIsRefusedWithCodeTwo) {
  SyntheticImageRecipe recipe;
  recipe.files = {{"a.bin", 100, 4}};
  const Inspection damaged = Inspect(recipe, SyntheticImage(recipe).Size() - 1);
  EXPECT_EQ(damaged.exit_code, 2);
  EXPECT_NE(damaged.errors.find("/a.bin"), std::string::npos) << damaged.errors;
  EXPECT_EQ(damaged.lines, "");
}

// Each of --info and --hash shows its own part, and only that.
TEST(Inspection, ShowsThePartsAskedForAndNoOther) {
  const SyntheticImage image(NestedDiscRecipe());
  const SourceOpener open = [&](const std::string&) {
    return std::make_unique<MemorySourceImage>(image.Bytes(), image.Size());
  };
  for (const bool info : {false, true}) {
    for (const bool hash : {false, true}) {
      if (!info && !hash) continue;
      RecordingConsole console;
      ASSERT_EQ(RunInspection({.image = "x.gcm", .info = info, .hash = hash}, open, console,
                              NeverInterrupted()),
                0);
      const std::string lines = console.AllLines();
      EXPECT_EQ(lines.find("Disc report for x.gcm\n") != std::string::npos, info) << lines;
      EXPECT_EQ(lines.find("Checksums of x.gcm") != std::string::npos, hash) << lines;
    }
  }
}

// A source that counts its reads into `reads` and raises the interrupt flag on the third,
// as Ctrl+C pressed during the hashing would.
class InterruptingSource : public MemorySourceImage {
 public:
  InterruptingSource(std::uint64_t size, std::atomic<bool>& interrupted, int& reads)
      : MemorySourceImage({}, size), interrupted_(interrupted), reads_(reads) {}
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    MemorySourceImage::ReadAt(offset, out);
    if (++reads_ == 3) interrupted_ = true;
  }

 private:
  std::atomic<bool>& interrupted_;
  int& reads_;
};

TEST(ImageChecksums, AreShownAfterTheReportAndStopWhenInterrupted) {
  testkit::TempFolder folder;
  const std::string path = folder.PathOf("nested.gcm");
  SyntheticImage(NestedDiscRecipe()).WriteTo(path);
  RecordingConsole console;
  ASSERT_EQ(RunInspection({.image = path, .info = true, .hash = true}, OpenSourceImage, console,
                          NeverInterrupted()),
            0)
      << console.AllErrors();
  const std::string lines = console.AllLines();
  EXPECT_NE(lines.find("Checksums of " + path +
                       " (498,016 bytes):\n"
                       "  CRC32  9d3799b3\n"
                       "  MD5    e1b444ea1a5787d54a3d631d0cdaae03\n"
                       "  SHA-1  a684f685145533a3ac9ab721f13266e944ce6476\n"),
            std::string::npos)
      << lines;
  EXPECT_LT(lines.find("Disc report for"), lines.find("Checksums of"));
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"nested.gcm"});

  std::atomic<bool> interrupted{false};
  int reads = 0;
  const SourceOpener interrupting = [&](const std::string&) {
    return std::make_unique<InterruptingSource>(std::uint64_t{64} << 20, interrupted, reads);
  };
  RecordingConsole stopped;
  EXPECT_EQ(RunInspection({.image = path, .hash = true}, interrupting, stopped, interrupted), 3);
  EXPECT_EQ(stopped.AllErrors(), "Error: Interrupted.\n");
  EXPECT_EQ(stopped.AllLines().find("Checksums"), std::string::npos);
  EXPECT_EQ(reads, 3) << "read on after the interruption";
}

// Checksums do not depend on the image being valid: they are what tells a damaged dump
// from a good one. The report's refusal is shown, and its code stands.
TEST(ImageChecksums, AreShownForAnInvalidImageWhoseReportIsRefused) {
  SyntheticImageRecipe recipe;
  recipe.files = {{"a.bin", 100, 4}};
  const SyntheticImage image(recipe);
  const SourceOpener open = [&](const std::string&) {
    return std::make_unique<MemorySourceImage>(image.SystemArea(), image.Size() - 1);
  };
  for (const bool info : {false, true}) {
    SCOPED_TRACE(info ? "--info --hash" : "--hash");
    RecordingConsole console;
    EXPECT_EQ(RunInspection({.image = "/games/x.gcm", .info = info, .hash = true}, open, console,
                            NeverInterrupted()),
              info ? 2 : 0);
    EXPECT_EQ(console.AllErrors().find("/a.bin") != std::string::npos, info) << console.AllErrors();
    EXPECT_NE(console.AllLines().find("Checksums of /games/x.gcm ("), std::string::npos);
  }
}

// A source that reports a change of itself, as fstat would, once read `changed_at` times
// (from 1; 0: never), raising `interrupt` (if given) then too, as Ctrl+C pressed at that
// moment would; its reads fail from read `failing_from` on (0: never).
class ChangingSource : public MemorySourceImage {
 public:
  ChangingSource(int changed_at, int failing_from, InterruptFlag* interrupt)
      : MemorySourceImage({}, 3 * kChunkSize),
        changed_at_(changed_at),
        failing_from_(failing_from),
        interrupt_(interrupt) {}

  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    if (++reads_ == changed_at_ && interrupt_ != nullptr) *interrupt_ = true;
    if (failing_from_ != 0 && reads_ >= failing_from_) throw IoError("The file ended early.");
    MemorySourceImage::ReadAt(offset, out);
  }
  bool ChangedSinceOpened() const override { return changed_at_ != 0 && reads_ >= changed_at_; }

 private:
  int changed_at_;
  int failing_from_;
  InterruptFlag* interrupt_;
  mutable int reads_ = 0;
};

// Checksums of an image that changed while it was read belong to no state of it: none are
// shown, and the change is named as the cause, also of a reading failure it brings, but not
// of an interruption. A report that failed to read the image stops there.
TEST(ImageChecksums, AreRefusedForAnImageThatChangedWhileItWasRead) {
  struct Case {
    int changed_at;
    int failing_from;
    bool interrupt;
    bool info;
    std::string error;
  };
  const std::string changed =
      "Error: The image /games/x.gcm changed while it was read (its size, last-write time or "
      "status-change time is not what it was), so its checksums are not shown. Hash it again "
      "once nothing writes to it.\n";
  const std::string ended = "Error: The file ended early.\n";
  for (const Case& test : {Case{3, 0, false, false, changed}, Case{2, 3, false, false, changed},
                           Case{0, 3, false, false, ended}, Case{0, 1, false, true, ended},
                           Case{2, 0, true, false, "Error: Interrupted.\n"}}) {
    SCOPED_TRACE(test.error);
    InterruptFlag interrupted{false};
    const SourceOpener open = [&](const std::string&) {
      return std::make_unique<ChangingSource>(test.changed_at, test.failing_from,
                                              test.interrupt ? &interrupted : nullptr);
    };
    RecordingConsole console;
    EXPECT_EQ(RunInspection({.image = "/games/x.gcm", .info = test.info, .hash = true}, open,
                            console, interrupted),
              3);
    EXPECT_EQ(console.AllErrors(), test.error);
    EXPECT_EQ(console.AllLines().find("Checksums of"), std::string::npos);
  }
}

// The warning appears exactly when the header says the disc streams audio and the layout
// the letters give leaves a streaming audio file with data off 32 KiB.
TEST(StreamingAudioWarning, CountsFilesOff32KiBOnlyOnDiscsThatStreamAudio) {
  const auto count = [](const SyntheticImageRecipe& recipe, LayoutOptions options) {
    const SyntheticImage image(recipe);
    const Disc disc = ReadDisc(MemoryByteSource(image.Bytes()));
    return StreamingAudioOff32KiB(disc, PlanLayout(disc, ImageMode::kStandard, options));
  };
  const LayoutOptions none{};
  const LayoutOptions t{.align_all_files = true};
  const LayoutOptions s{.isolate_streaming_audio = true};
  const LayoutOptions both{.align_all_files = true, .isolate_streaming_audio = true};

  const SyntheticImageRecipe streaming = NestedDiscRecipe();
  EXPECT_EQ(count(streaming, none), 2u);  // v01.dtk and MUSIC.ADP; the empty file is no track
  EXPECT_EQ(count(streaming, t), 0u);
  EXPECT_EQ(count(streaming, s), 0u);
  EXPECT_EQ(count(streaming, both), 0u);

  SyntheticImageRecipe silent = NestedDiscRecipe();
  silent.audio_streaming = false;
  EXPECT_EQ(count(silent, none), 0u);

  SyntheticImageRecipe aligned;
  aligned.audio_streaming = true;
  aligned.files = {{"a.bin", 100, 4}, {"bgm.adp", 5000, 32 * 1024}, {"empty.dtk", 0, 4}};
  EXPECT_EQ(count(aligned, none), 0u);
}

// What the rebuild says before it starts, line by line.
TEST(RebuildSummary, NamesTheDiscTheSourceAndEveryChoice) {
  const SyntheticImage image(NestedDiscRecipe());
  const Disc disc = ReadDisc(MemoryByteSource(image.Bytes()));
  EXPECT_EQ(SummaryLines(disc, {.image = "/games/x.gcm"}, "/games/x.rebuilt.gcm"),
            (std::vector<std::string>{
                "Rebuilding GKVE01 \"Kelvore Test Disc\"",
                "  Source:  /games/x.gcm (498,016 bytes, 11 files)",
                "  Mode:    f, a standard image of 1,459,978,240 bytes",
                "  Options: none",
                "  Format:  plain, every byte of the image",
                "  Verify:  yes, read back from the disk",
                "  Output:  /games/x.rebuilt.gcm",
            }));
}

// With s, the rebuild lists the files it places as streaming audio, or says there are none;
// without s it says nothing of them.
TEST(StreamingAudioList, IsShownWithOptionSOnly) {
  SyntheticImageRecipe silent;
  silent.files = {{"a.bin", 100, 4}};
  const auto listed = [](const SyntheticImageRecipe& recipe, LayoutOptions options) {
    const SyntheticImage image(recipe);
    const Disc disc = ReadDisc(MemoryByteSource(image.Bytes()));
    RecordingConsole console;
    ListStreamingAudio(console, disc, PlanLayout(disc, ImageMode::kStandard, options),
                       {.options = options});
    return console.AllLines();
  };
  const LayoutOptions s{.isolate_streaming_audio = true};
  EXPECT_EQ(listed(NestedDiscRecipe(), s),
            "Streaming audio files placed on whole 32 KiB blocks:\n"
            "  /audio/bgm01.adp\n  /audio/voice/v01.dtk\n  /MUSIC.ADP\n");
  EXPECT_EQ(listed(silent, s), "No streaming audio files (.adp, .dtk) on this disc.\n");
  EXPECT_EQ(listed(NestedDiscRecipe(), {.align_all_files = true}), "");
  EXPECT_EQ(listed(silent, {}), "");
}

}  // namespace
}  // namespace kelvore
