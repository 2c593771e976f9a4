// Rebuilds into CISO files, on a disk kept in memory: what is written, how it is verified, and
// a CISO file as the input of a report or a rebuild.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/disc/layout.h"
#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/faulty_output_file.h"
#include "kelvore/tests/memory_source_image.h"
#include "kelvore/tests/recording_console.h"
#include "kelvore/tests/storage_fakes.h"
#include "kelvore/tool/ciso_verifier.h"
#include "kelvore/tool/inspection_job.h"
#include "kelvore/tool/piece_chunks.h"
#include "kelvore/tool/rebuild_job.h"

namespace kelvore {
namespace {

using testkit::CachedDiskFile;
using testkit::FaultyOutputFile;
using testkit::MemorySourceImage;
using testkit::NestedDiscRecipe;
using testkit::RecordingConsole;
using testkit::SyntheticImage;
using testkit::SyntheticImageRecipe;

using Disk = std::shared_ptr<CachedDiskFile::State>;

constexpr std::uint64_t kFullSize = 1'459'978'240;
constexpr std::uint64_t kHeader = 0x8000;
constexpr std::uint64_t kBlock = 2 * 1024 * 1024;
constexpr std::uint64_t kMapEntries = 0x7FF8;

std::uint64_t BlocksOf(ImageMode mode) { return (ImageSizeFor(mode) + kBlock - 1) / kBlock; }

std::size_t CountEvents(const std::vector<std::string>& events, std::string_view prefix) {
  return static_cast<std::size_t>(
      std::count_if(events.begin(), events.end(),
                    [prefix](const std::string& e) { return e.starts_with(prefix); }));
}

std::vector<std::byte> Header(const CachedDiskFile::State& disk) {
  std::vector<std::byte> header(kHeader);
  disk.disk.Read(0, header);
  return header;
}

// memcmp: std::equal goes byte by byte over std::byte in an unoptimised build.
bool SameBytes(const std::vector<std::byte>& a, const std::vector<std::byte>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

bool IsZero(const std::vector<std::byte>& bytes) {
  static const std::vector<std::byte> zeros(kBlock);
  return bytes.size() <= zeros.size() && std::memcmp(bytes.data(), zeros.data(), bytes.size()) == 0;
}

// What a disk in memory holds, as an image to read.
class DiskImage : public SourceImage {
 public:
  explicit DiskImage(Disk disk, std::uint64_t size) : disk_(std::move(disk)), size_(size) {}

  std::uint64_t Size() const override { return size_; }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    disk_->disk.Read(offset, out);
  }
  bool IsFileAt(const std::string&) const override { return false; }
  bool ChangedSinceOpened() const override { return false; }

 private:
  Disk disk_;
  std::uint64_t size_;
};

// An image in memory whose bytes in [mark_begin, mark_end) are 0x5A where they would be zero.
class MarkedImage : public SourceImage {
 public:
  MarkedImage(std::vector<std::byte> prefix, std::uint64_t size, std::uint64_t mark_begin,
              std::uint64_t mark_end)
      : bytes_(std::move(prefix), size), mark_begin_(mark_begin), mark_end_(mark_end) {}

  std::uint64_t Size() const override { return bytes_.Size(); }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    bytes_.ReadAt(offset, out);
    const std::uint64_t begin = std::max(offset, mark_begin_);
    const std::uint64_t end = std::min(offset + out.size(), mark_end_);
    for (std::uint64_t at = begin; at < end; ++at) out[at - offset] = std::byte{0x5A};
  }
  bool IsFileAt(const std::string&) const override { return false; }
  bool ChangedSinceOpened() const override { return false; }

 private:
  MemoryByteSource bytes_;
  std::uint64_t mark_begin_;
  std::uint64_t mark_end_;
};

class CisoRebuildTest : public ::testing::Test {
 protected:
  // Rebuilds the source into a fresh disk in memory, which it returns.
  Disk Rebuild(RebuildRequest request, int exit_code = 0) {
    auto disk = std::make_shared<CachedDiskFile::State>();
    services_.create_output = [disk](const std::string&) {
      return std::make_unique<CachedDiskFile>(disk);
    };
    return RebuildOnto(std::move(request), disk, exit_code);
  }

  // Rebuilds the source into the output `create_output` makes; `disk` is what it writes on.
  Disk RebuildOnto(RebuildRequest request, Disk disk, int exit_code = 0) {
    request.image = "/games/Disc One.gcm";
    console_ = {};
    EXPECT_EQ(RunRebuild(request, services_, console_, interrupted_), exit_code)
        << console_.AllErrors();
    return disk;
  }

  void UseSource(std::function<std::unique_ptr<SourceImage>()> open) {
    services_.open_source = [open](const std::string&) { return open(); };
  }

  // --info, with --hash if asked, of what `disk` holds (its first `size` bytes if given):
  // what the report says, then its errors.
  std::string Inspect(Disk disk, bool hash, int exit_code = 0,
                      std::optional<std::uint64_t> size = {}) {
    RecordingConsole console;
    const SourceOpener open = [&](const std::string&) {
      return std::make_unique<DiskImage>(disk, size.value_or(disk->size));
    };
    EXPECT_EQ(RunInspection({.image = "/games/x.ciso", .info = true, .hash = hash}, open, console,
                            interrupted_),
              exit_code)
        << console.AllErrors();
    return console.AllLines() + console.AllErrors();
  }

  const SyntheticImage image_{NestedDiscRecipe()};
  const std::vector<std::byte> bytes_ = image_.Bytes();
  RebuildServices services_{
      .open_source =
          [this](const std::string&) {
            return std::make_unique<MemorySourceImage>(bytes_, bytes_.size());
          },
      .create_output = {},
      .path_exists = [](const std::string&) { return false; },
  };
  RecordingConsole console_;
  std::atomic<bool> interrupted_{false};
};

class CisoRoundTrip : public CisoRebuildTest, public ::testing::WithParamInterface<ImageMode> {};

// The CISO file holds exactly the blocks of the plain image that are not all zeros, in order,
// after a header written as the format's description has it; nothing else. The data spans
// several blocks, with gaps between the files.
TEST_P(CisoRoundTrip, StoresEveryNonZeroBlockOfThePlainImageAndNoOther) {
  const ImageMode mode = GetParam();
  SyntheticImageRecipe recipe = NestedDiscRecipe();
  recipe.files.push_back({"big/a.bin", 1'500'000, 4});
  recipe.files.push_back({"big/b.bin", 2'600'000, 32 * 1024});
  recipe.files.push_back({"big/c.bin", 900'000, 4});
  const std::vector<std::byte> bytes = SyntheticImage(recipe).Bytes();
  UseSource([&] { return std::make_unique<MemorySourceImage>(bytes, bytes.size()); });
  const LayoutOptions both{.align_all_files = true, .isolate_streaming_audio = true};
  const Disk plain = Rebuild({.mode = mode, .options = both, .verify = false});
  const Disk ciso = Rebuild({.mode = mode, .options = both, .ciso = true});

  const std::vector<std::byte> header = Header(*ciso);
  EXPECT_EQ(
      std::vector<std::byte>(header.begin(), header.begin() + 8),
      (std::vector<std::byte>{std::byte{'C'}, std::byte{'I'}, std::byte{'S'}, std::byte{'O'},
                              std::byte{0x00}, std::byte{0x00}, std::byte{0x20}, std::byte{0x00}}));
  std::uint64_t stored = 0;
  std::vector<std::byte> expected(kBlock), actual(kBlock);
  for (std::uint64_t block = 0; block < BlocksOf(mode); ++block) {
    plain->disk.Read(block * kBlock, expected);
    const bool holds_data = !IsZero(expected);
    ASSERT_EQ(header[8 + block], std::byte{holds_data}) << "map entry of block " << block;
    if (!holds_data) continue;
    ciso->disk.Read(kHeader + stored++ * kBlock, actual);
    ASSERT_TRUE(SameBytes(actual, expected)) << "block " << block;
  }
  for (std::uint64_t block = BlocksOf(mode); block < kMapEntries; ++block) {
    ASSERT_EQ(header[8 + block], std::byte{0}) << "map entry past the image, block " << block;
  }
  EXPECT_EQ(ciso->size, kHeader + stored * kBlock);
  // The disc header lies in the first block; a 3 GB image has its files at its end.
  EXPECT_EQ(header[8], std::byte{1});
  EXPECT_EQ(header[8 + BlocksOf(mode) - 1], std::byte{mode == ImageMode::kLarge});
  EXPECT_NE(console_.AllLines().find("Done: /games/Disc One.rebuilt.ciso (" +
                                     GroupedDecimal(ciso->size) + " bytes, a CISO of the " +
                                     GroupedDecimal(ImageSizeFor(mode)) + "-byte image)."),
            std::string::npos)
      << console_.AllLines();
}

INSTANTIATE_TEST_SUITE_P(BothSizes, CisoRoundTrip,
                         ::testing::Values(ImageMode::kStandard, ImageMode::kLarge));

// A full disc ends within its last 2 MiB block: data there stores the block whole, with zeros
// past the image's end, and the verification reads them back. The data starts at the block's
// start, in the middle of a chunk whose first part, in the block before, is zeros.
TEST_F(CisoRebuildTest, StoresTheLastBlockWholeWithZerosPastTheImagesEnd) {
  const auto recipe = [](std::uint32_t length) {
    SyntheticImageRecipe big;
    big.files = {{"big.bin", length, 32 * 1024}};
    return big;
  };
  const std::uint64_t file_offset =
      PlanLayout(ReadDisc(MemoryByteSource(SyntheticImage(recipe(100)).SystemArea(), 1 << 20)),
                 ImageMode::kStandard, {})
          .file_offsets[0];
  constexpr std::uint64_t kLast = kFullSize / kBlock;
  constexpr std::uint64_t kImageEndInBlock = kFullSize % kBlock;
  ASSERT_NE((kLast * kBlock - file_offset) % kChunkSize, 0u) << "a chunk starts at the block";
  // The file ends 1,000 bytes before the image does; its part in the last block is marked.
  const auto length = static_cast<std::uint32_t>(kFullSize - 1000 - file_offset);
  const SyntheticImage big(recipe(length));
  const std::uint64_t source_end = big.Files()[0].offset + std::uint64_t{length};
  UseSource([&] {
    return std::make_unique<MarkedImage>(big.SystemArea(), big.Size(),
                                         source_end - (kImageEndInBlock - 1000), source_end);
  });

  const Disk ciso = Rebuild({.ciso = true});
  const std::vector<std::byte> header = Header(*ciso);
  ASSERT_EQ(header[8 + kLast - 1], std::byte{0});
  ASSERT_EQ(header[8 + kLast], std::byte{1});
  ASSERT_EQ(ciso->size, kHeader + 2 * kBlock) << "the first block and the last";
  std::vector<std::byte> last(kBlock);
  ciso->disk.Read(kHeader + kBlock, last);
  EXPECT_EQ(last[0], std::byte{0x5A});
  EXPECT_EQ(last[kImageEndInBlock - 1001], std::byte{0x5A});
  EXPECT_TRUE(std::all_of(last.begin() + kImageEndInBlock - 1000, last.end(),
                          [](std::byte b) { return b == std::byte{0}; }));

  // What lies past the image's end is read back too.
  auto damaged = std::make_shared<CachedDiskFile::State>();
  damaged->damage_at = kHeader + kBlock + kImageEndInBlock + 0x9000;
  services_.create_output = [damaged](const std::string&) {
    return std::make_unique<CachedDiskFile>(damaged);
  };
  RebuildOnto({.ciso = true}, damaged, 3);
  EXPECT_NE(console_.AllErrors().find(
                "Verification failed: the new image's last block reads back from the disk with "
                "data past the image's end, between offsets " +
                Hex(kHeader + kBlock + kImageEndInBlock + 0x8000) + " and " +
                Hex(kHeader + kBlock + kImageEndInBlock + 0x10000) + " of the file."),
            std::string::npos)
      << console_.AllErrors();
}

// The file first takes the size of every block the data touches, so that a full disk shows
// before anything is written; blocks of zeros are left out even where a file covers them; the
// header goes last, once the blocks have reached the disk, and the file is then cut to size.
TEST_F(CisoRebuildTest, ReservesTheMostItCouldStoreAndWritesTheHeaderLast) {
  SyntheticImageRecipe zeros;
  zeros.files = {{"a.bin", 5 << 20, 4}};
  const SyntheticImage image(zeros);
  UseSource([&] { return std::make_unique<MemorySourceImage>(image.SystemArea(), image.Size()); });
  const Disk ciso = Rebuild({.ciso = true});

  const std::vector<std::string>& events = ciso->events;
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events[0], "size " + std::to_string(kHeader + 3 * kBlock));
  const auto header_write = std::find(events.begin(), events.end(), "write 0+32768");
  ASSERT_NE(header_write, events.end());
  EXPECT_EQ(CountEvents({header_write + 1, events.end()}, "write"), 0u);
  EXPECT_EQ(CountEvents({header_write, events.end()}, "wait"), 0u);
  EXPECT_EQ(CountEvents({events.begin(), header_write}, "wait"), 1u);
  EXPECT_EQ(*(header_write + 1), "size " + std::to_string(kHeader + kBlock));
  EXPECT_EQ(*(header_write + 2), "flush");
  EXPECT_EQ(Header(*ciso)[8], std::byte{1});
  EXPECT_EQ(Header(*ciso)[9], std::byte{0});
}

// What the image's bytes alone cannot show: a block stored although it holds only zeros, or
// one past the image's end.
TEST_F(CisoRebuildTest, VerificationRefusesABlockStoredWithoutCause) {
  const Disk written = Rebuild({.verify = false, .ciso = true});
  ASSERT_EQ(written->size, kHeader + kBlock);
  const MemoryByteSource source(bytes_);
  const Disc disc = ReadDisc(source);
  const Layout layout = PlanLayout(disc, ImageMode::kStandard, {});
  const ImagePlan plan(disc, layout, ReadBytes(source, 0, 0x440));
  const std::vector<std::pair<std::uint64_t, std::string>> cases = {
      {1,
       "block 1 of the new image, at offset 0x200000, is stored although it holds only zeros, "
       "which are left out."},
      {697,
       "the new image's map reads back from the disk with block 697 stored, past the "
       "image's last block, 696."},
  };
  for (const auto& [block, message] : cases) {
    const auto tampered = std::make_shared<CachedDiskFile::State>(*written);
    const std::byte stored{1};
    tampered->disk.Write(8 + block, {&stored, 1});
    tampered->size += kBlock;
    CachedDiskFile file(tampered);
    const auto reader = file.OpenReadBack();
    try {
      VerifyCisoImage(plan, source, *reader, {interrupted_, [](std::uint64_t) {}});
      ADD_FAILURE() << "verified: " << message;
    } catch (const IoError& error) {
      EXPECT_EQ(error.what(), "Verification failed: " + message);
    }
  }
}

// Whatever part of the file reads back wrong is named.
TEST_F(CisoRebuildTest, VerificationNamesWhatReadsBackFromTheDiskWrong) {
  const Disc disc = ReadDisc(MemoryByteSource(bytes_));
  const Layout layout = PlanLayout(disc, ImageMode::kStandard, {});
  const auto& files = disc.fst.Files();
  const auto map = std::find_if(files.begin(), files.end(), [&](const DiscFile& file) {
    return disc.fst.PathOf(file.entry) == "/data/level1/map.dat";
  });
  ASSERT_NE(map, files.end());
  const std::uint64_t in_map = layout.file_offsets[static_cast<std::size_t>(map - files.begin())];
  const std::vector<std::pair<std::uint64_t, std::string>> cases = {
      {kHeader + in_map + 7,
       "/data/level1/map.dat reads back from the disk differently at offset " + Hex(in_map + 7) +
           " of the new image."},
      {kHeader + kBlock - 1, "an empty stretch reads back from the disk differently at offset " +
                                 Hex(kBlock - 1) + " of the new image."},
      {2, "the new image's header reads back from the disk without its magic \"CISO\"."},
      {6,
       "the new image's header reads back from the disk with a block size of 3,145,728 "
       "bytes instead of 2,097,152 bytes."},
      {8 + 3,
       "the new image's header reads back from the disk damaged. This CISO file's map is "
       "damaged: its entry for block 3 is 0x10,"},
  };
  for (const auto& [damage_at, message] : cases) {
    SCOPED_TRACE(message);
    auto disk = std::make_shared<CachedDiskFile::State>();
    disk->damage_at = damage_at;
    services_.create_output = [disk](const std::string&) {
      return std::make_unique<CachedDiskFile>(disk);
    };
    RebuildOnto({.ciso = true}, disk, 3);
    EXPECT_NE(console_.AllErrors().find("Error: Verification failed: " + message),
              std::string::npos)
        << console_.AllErrors();
    EXPECT_EQ(CountEvents(disk->events, "commit"), 0u);
  }
}

// A file left longer than its blocks, as when its final size is never set, is not the CISO
// file it should be.
TEST_F(CisoRebuildTest, VerificationRefusesAFileThatGoesOnPastItsLastBlock) {
  class NeverShrinks : public CachedDiskFile {
   public:
    using CachedDiskFile::CachedDiskFile;
    void SetSize(std::uint64_t size) override {
      if (size > size_) CachedDiskFile::SetSize(size_ = size);
    }

   private:
    std::uint64_t size_ = 0;
  };
  SyntheticImageRecipe zeros;
  zeros.files = {{"a.bin", 5 << 20, 4}};
  const SyntheticImage image(zeros);
  UseSource([&] { return std::make_unique<MemorySourceImage>(image.SystemArea(), image.Size()); });
  auto disk = std::make_shared<CachedDiskFile::State>();
  services_.create_output = [disk](const std::string&) {
    return std::make_unique<NeverShrinks>(disk);
  };
  RebuildOnto({.ciso = true}, disk, 3);
  EXPECT_NE(console_.AllErrors().find(
                "Error: Verification failed: the new image's file is 6,324,224 bytes long on the "
                "disk, where the header and the 1 stored block its map lists take 2,129,920 "
                "bytes."),
            std::string::npos)
      << console_.AllErrors();
}

// As for a plain image: a failing write or Ctrl+C leaves nothing, and Ctrl+C is honoured at
// the next chunk, writing or verifying.
TEST_F(CisoRebuildTest, AFullDiskOrAnInterruptionLeavesNothingBehind) {
  for (const auto fault :
       {FaultyOutputFile::Fault::kFailWrite, FaultyOutputFile::Fault::kInterrupt}) {
    interrupted_ = false;
    auto disk = std::make_shared<CachedDiskFile::State>();
    services_.create_output = [this, disk, fault](const std::string&) {
      return std::make_unique<FaultyOutputFile>(std::make_unique<CachedDiskFile>(disk), fault,
                                                100'000, &interrupted_);
    };
    RebuildOnto({.ciso = true}, disk, 3);
    EXPECT_NE(console_.AllErrors().find(
                  fault == FaultyOutputFile::Fault::kFailWrite ? "no space left" : "Interrupted."),
              std::string::npos)
        << console_.AllErrors();
    EXPECT_NE(console_.AllErrors().find("The unfinished image was removed."), std::string::npos);
    EXPECT_EQ(CountEvents(disk->events, "commit"), 0u);
  }

  SyntheticImageRecipe three_blocks;
  three_blocks.files = {{"a.bin", 3 << 20, 4}, {"b.bin", 3 << 20, 4}};
  const std::vector<std::byte> bytes = SyntheticImage(three_blocks).Bytes();
  UseSource([&] { return std::make_unique<MemorySourceImage>(bytes, bytes.size()); });
  for (const std::string phase : {"write", "read"}) {
    SCOPED_TRACE(phase);
    interrupted_ = false;
    auto disk = std::make_shared<CachedDiskFile::State>();
    std::size_t seen = 0;
    disk->on_event = [&](const std::string& event) {
      if (event.starts_with(phase) && ++seen == 2) interrupted_ = true;
    };
    services_.create_output = [disk](const std::string&) {
      return std::make_unique<CachedDiskFile>(disk);
    };
    RebuildOnto({.ciso = true}, disk, 3);
    EXPECT_EQ(console_.AllErrors(), "Error: Interrupted.\nThe unfinished image was removed.\n");
    EXPECT_EQ(CountEvents(disk->events, phase), 2u);
    EXPECT_EQ(CountEvents(disk->events, "commit"), 0u);
  }
}

// A CISO file reports as the image it stands for: a full disc, or a 3 GB image, whose
// checksums are those of the plain image.
TEST_F(CisoRebuildTest, ReportsACisoFileOfEachSizeAsTheImageItStandsFor) {
#if defined(_WIN32) && !defined(_WIN64)
  // The 32-bit build's tests run under a 32-bit Wine, emulated where the kernel runs no 32-bit
  // programs: hashing two full discs there would take minutes to repeat what the 64-bit run
  // checks.
  constexpr bool kHash = false;
#else
  constexpr bool kHash = true;
#endif
  const Disk plain = Rebuild({.verify = false});
  const Disk full = Rebuild({.verify = false, .ciso = true});
  const std::string full_report = Inspect(full, kHash);
  EXPECT_NE(full_report.find("CISO file: 1 of its 697 blocks of 2,048 KiB stored. Its header "
                             "holds no image size: taken as a full disc of 1,459,978,240 bytes, "
                             "within which its data ends.\nDisc report for /games/x.ciso\n"),
            std::string::npos)
      << full_report;
  EXPECT_NE(full_report.find("  Size:            1,459,978,240 bytes: good, a full disc\n"),
            std::string::npos);
  if (kHash) {
    const std::string plain_sums = Inspect(plain, true);
    const std::string sums = "Checksums of /games/x.ciso (1,459,978,240 bytes):\n";
    ASSERT_NE(full_report.find(sums), std::string::npos) << full_report;
    EXPECT_EQ(full_report.substr(full_report.find(sums) + sums.size()),
              plain_sums.substr(plain_sums.find(sums) + sums.size()));
  }

  const std::string large_report =
      Inspect(Rebuild({.mode = ImageMode::kLarge, .verify = false, .ciso = true}), false);
  EXPECT_NE(large_report.find("blocks of 2,048 KiB stored. Its header holds no image size: taken "
                              "as a 3 GB image of 3,221,225,472 bytes, as its data goes on past "
                              "a full disc's 1,459,978,240 bytes.\n"),
            std::string::npos)
      << large_report;
  EXPECT_NE(large_report.find("  Size:            3,221,225,472 bytes: oversize"),
            std::string::npos);

  const std::string cut = Inspect(full, false, 2, full->size - 1);
  EXPECT_NE(cut.find("Error: This CISO file is cut short: its map lists 1 stored block of "
                     "2,097,152 bytes, which take 2,129,920 bytes with the header, but the file "
                     "is 2,129,919 bytes long.\n"),
            std::string::npos)
      << cut;
  EXPECT_EQ(cut.find("Disc report"), std::string::npos);
}

// A CISO file rebuilds as the image it stands for.
TEST_F(CisoRebuildTest, RebuildsFromACisoFileAsFromThePlainImage) {
  const LayoutOptions both{.align_all_files = true, .isolate_streaming_audio = true};
  const Disk direct = Rebuild({.options = both, .verify = false});
  const Disk ciso = Rebuild({.mode = ImageMode::kLarge, .verify = false, .ciso = true});
  UseSource([&] { return std::make_unique<DiskImage>(ciso, ciso->size); });
  const Disk from_ciso = Rebuild({.options = both, .verify = false});
  EXPECT_NE(console_.AllLines().find("CISO file: "), std::string::npos);
  std::vector<std::byte> expected(kBlock), actual(kBlock);
  for (std::uint64_t offset = 0; offset < kFullSize; offset += kBlock) {
    direct->disk.Read(offset, expected);
    from_ciso->disk.Read(offset, actual);
    ASSERT_TRUE(SameBytes(actual, expected)) << "block at " << offset;
  }
}

}  // namespace
}  // namespace kelvore
