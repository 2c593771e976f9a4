#include "kelvore/disc/ciso.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/tests/memory_source_image.h"
#include "kelvore/tests/recording_console.h"
#include "kelvore/tool/ciso_source.h"

namespace kelvore {
namespace {

using testkit::MemorySourceImage;
using testkit::RecordingConsole;

constexpr std::uint64_t kFullSize = 1'459'978'240;
constexpr std::uint64_t kLargeSize = 3'221'225'472;
constexpr std::uint32_t k32KiB = 32 * 1024;
constexpr std::uint64_t kLastEntry = 0x7FF7;

// A CISO file written by hand as the format's description has it: "CISO", the block size in
// little-endian order, one map byte per block, then the stored blocks in order.
class CisoFile {
 public:
  explicit CisoFile(std::uint32_t block_size) : block_size_(block_size) {}

  // Stores block `block` holding `fill` but for the bytes `changes` sets.
  CisoFile& Store(std::uint64_t block, std::byte fill,
                  std::map<std::uint32_t, std::byte> changes = {}) {
    std::vector<std::byte> bytes(block_size_, fill);
    for (const auto& [at, value] : changes) bytes[at] = value;
    blocks_[block] = std::move(bytes);
    return *this;
  }

  std::vector<std::byte> Bytes() const {
    std::vector<std::byte> file(0x8000);
    const char magic[] = "CISO";
    for (std::size_t i = 0; i < 4; ++i) file[i] = std::byte(magic[i]);
    for (std::size_t i = 0; i < 4; ++i) file[4 + i] = std::byte(block_size_ >> (8 * i));
    for (const auto& [block, bytes] : blocks_) {
      file[8 + block] = std::byte{1};
      file.insert(file.end(), bytes.begin(), bytes.end());
    }
    return file;
  }

 private:
  std::uint32_t block_size_;
  std::map<std::uint64_t, std::vector<std::byte>> blocks_;
};

std::vector<std::byte> Read(const ByteSource& source, std::uint64_t offset, std::size_t length) {
  return ReadBytes(source, offset, length);
}

std::vector<std::byte> Filled(std::size_t length, std::byte value) {
  return std::vector<std::byte>(length, value);
}

// The message Image::Open refuses `file` with, or nothing when it opens it.
std::optional<std::string> Refusal(const std::vector<std::byte>& file) {
  const MemoryByteSource source(file);
  try {
    ciso::Image::Open(source);
  } catch (const ImageError& error) {
    return error.what();
  }
  return std::nullopt;
}

std::uint64_t SizeTaken(const std::vector<std::byte>& file) {
  const MemoryByteSource source(file);
  return ciso::Image::Open(source).Size();
}

// Stored and left-out blocks at the map's first and last entries, and reads across blocks.
TEST(CisoImage, ReadsStoredBlocksAndZerosForTheRest) {
  const auto a = std::byte{0xA1}, b = std::byte{0xB2}, c = std::byte{0xC3};
  const MemoryByteSource ends_stored(
      CisoFile(k32KiB).Store(0, a).Store(2, b).Store(kLastEntry, c).Bytes());
  const ciso::Image image = ciso::Image::Open(ends_stored);
  ASSERT_EQ(image.Size(), kFullSize);
  std::vector<std::byte> expected = Filled(10, a);
  const std::vector<std::byte> zeros = Filled(k32KiB, std::byte{0});
  expected.insert(expected.end(), zeros.begin(), zeros.end());
  const std::vector<std::byte> b_head = Filled(10, b);
  expected.insert(expected.end(), b_head.begin(), b_head.end());
  EXPECT_EQ(Read(image, k32KiB - 10, k32KiB + 20), expected);
  EXPECT_EQ(Read(image, kLastEntry * k32KiB, k32KiB), Filled(k32KiB, c));
  // Past the map's last entry the image goes on, as zeros.
  EXPECT_EQ(Read(image, (kLastEntry + 1) * k32KiB - 4, 8),
            (std::vector<std::byte>{c, c, c, c, {}, {}, {}, {}}));
  EXPECT_EQ(Read(image, kFullSize - 16, 16), Filled(16, std::byte{0}));

  const MemoryByteSource ends_left_out(CisoFile(k32KiB).Store(1, a).Store(3, b).Bytes());
  const ciso::Image middle = ciso::Image::Open(ends_left_out);
  EXPECT_EQ(Read(middle, 0, k32KiB), zeros);
  EXPECT_EQ(Read(middle, 3 * k32KiB - 1, 2), (std::vector<std::byte>{{}, b}));
  EXPECT_EQ(Read(middle, kLastEntry * k32KiB, k32KiB), zeros);
}

// The header holds no image size: a full disc when the data ends within one, else a 3 GB
// image. The stored blocks are whole, so the last may reach past the size taken, with zeros.
TEST(CisoImage, TakesTheSmallerImageSizeThatHoldsTheData) {
  constexpr std::uint32_t k2MiB = 2 * 1024 * 1024;
  constexpr std::uint64_t kLastFullBlock = kFullSize / k2MiB;  // 696: the disc ends within it
  constexpr std::uint32_t kFullEndInBlock = kFullSize % k2MiB;
  EXPECT_EQ(SizeTaken(CisoFile(k2MiB).Bytes()), kFullSize) << "nothing stored";
  EXPECT_EQ(SizeTaken(CisoFile(k2MiB).Store(0, std::byte{1}).Bytes()), kFullSize);
  const std::byte end_mark{0xEE};
  EXPECT_EQ(
      SizeTaken(
          CisoFile(k2MiB).Store(kLastFullBlock, {}, {{kFullEndInBlock - 1, end_mark}}).Bytes()),
      kFullSize);
  EXPECT_EQ(
      SizeTaken(CisoFile(k2MiB).Store(kLastFullBlock, {}, {{kFullEndInBlock, end_mark}}).Bytes()),
      kLargeSize)
      << "a byte just past a full disc";
  EXPECT_EQ(SizeTaken(CisoFile(k2MiB).Store(kLastFullBlock, {}, {{k2MiB - 1, end_mark}}).Bytes()),
            kLargeSize)
      << "the block's last byte";
  EXPECT_EQ(SizeTaken(CisoFile(k2MiB).Store(kLastFullBlock, std::byte{0xFF}).Bytes()), kLargeSize)
      << "a block of 0xFF padding";
  EXPECT_EQ(SizeTaken(CisoFile(k2MiB).Store(kLastFullBlock + 1, {}).Bytes()), kLargeSize)
      << "a block that starts past a full disc, even of zeros";

  // The map's capacity: 64 KiB blocks are the least that cover a full disc, 128 KiB blocks
  // the least that cover a 3 GB image.
  constexpr std::uint32_t k64KiB = 64 * 1024, k128KiB = 128 * 1024;
  EXPECT_EQ(SizeTaken(CisoFile(k64KiB)
                          .Store(kFullSize / k64KiB, {}, {{kFullSize % k64KiB - 1, end_mark}})
                          .Bytes()),
            kFullSize);
  EXPECT_EQ(SizeTaken(CisoFile(k64KiB).Store(kLastEntry, std::byte{1}).Bytes()), kLargeSize);
  EXPECT_EQ(SizeTaken(CisoFile(k128KiB).Store(kLargeSize / k128KiB - 1, std::byte{1}).Bytes()),
            kLargeSize);
  const auto past_large = Refusal(CisoFile(k128KiB).Store(kLargeSize / k128KiB, {}).Bytes());
  ASSERT_TRUE(past_large);
  EXPECT_EQ(*past_large,
            "This CISO file holds data past 3,221,225,472 bytes, more than even a 3 GB image "
            "holds: its last stored block is block 24,576 of 131,072 bytes, at offset "
            "0xC0000000 of the image.");
  EXPECT_TRUE(Refusal(CisoFile(k128KiB).Store(kLastEntry, std::byte{1}).Bytes()));
}

TEST(CisoImage, RefusesATruncatedOrMalformedFileSayingWhy) {
  std::vector<std::byte> cut = CisoFile(k32KiB).Store(0, std::byte{1}).Store(9, {}).Bytes();
  cut.pop_back();
  std::vector<std::byte> bad_entry = CisoFile(k32KiB).Store(0, std::byte{1}).Bytes();
  bad_entry[8 + 5] = std::byte{2};
  std::vector<std::byte> header_only = CisoFile(k32KiB).Bytes();
  header_only.resize(0x7FFF);
  const std::vector<std::pair<std::vector<std::byte>, std::string>> cases = {
      {cut,
       "This CISO file is cut short: its map lists 2 stored blocks of 32,768 bytes, which take "
       "98,304 bytes with the header, but the file is 98,303 bytes long."},
      {bad_entry,
       "This CISO file's map is damaged: its entry for block 5 is 0x2, where only 0 (not "
       "stored) and 1 (stored) belong."},
      {CisoFile(0).Bytes(),
       "This CISO file's block size is 0 bytes, but a CISO's blocks are a multiple of 32 KiB "
       "(32,768 bytes), of at least that size."},
      {CisoFile(k32KiB + 512).Bytes(), "This CISO file's block size is 33,280 bytes, but"},
      {CisoFile(k32KiB / 2).Bytes(), "This CISO file's block size is 16,384 bytes, but"},
      {header_only, "This CISO file is 32,767 bytes long, too short for its 32,768-byte header."},
  };
  for (const auto& [file, message] : cases) {
    const auto refusal = Refusal(file);
    ASSERT_TRUE(refusal) << message;
    EXPECT_EQ(refusal->substr(0, message.size()), message);
  }
}

// A CISO file is read as the image it stands for, and said to be one; any other file is
// read as it is.
TEST(OpenImageOrCiso, ReadsACisoFileAsItsImageAndSaysWhichSizeItTook) {
  std::vector<std::byte> file =
      CisoFile(2 * 1024 * 1024).Store(0, std::byte{7}).Store(800, std::byte{8}).Bytes();
  const std::uint64_t file_size = file.size();
  RecordingConsole console;
  const auto image = OpenImageOrCiso(
      [&](const std::string&) { return std::make_unique<MemorySourceImage>(file, file_size); },
      "x.ciso", console);
  EXPECT_EQ(image->Size(), kLargeSize);
  EXPECT_EQ(ReadBytes(*image, std::uint64_t{800} * 2 * 1024 * 1024 - 1, 2),
            (std::vector<std::byte>{{}, std::byte{8}}));
  EXPECT_EQ(console.AllLines(),
            "CISO file: 2 of its 1,536 blocks of 2,048 KiB stored. Its header holds no image "
            "size: taken as a 3 GB image of 3,221,225,472 bytes, as its data goes on past a "
            "full disc's 1,459,978,240 bytes.\n");

  file[3] = std::byte{'X'};
  RecordingConsole quiet;
  const auto plain = OpenImageOrCiso(
      [&](const std::string&) { return std::make_unique<MemorySourceImage>(file, file_size); },
      "x.gcm", quiet);
  EXPECT_EQ(plain->Size(), file_size);
  EXPECT_TRUE(quiet.lines.empty());
}

}  // namespace
}  // namespace kelvore
