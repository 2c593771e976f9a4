#include "kelvore/tool/checksums.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/platform/file_system.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/temp_folder.h"

namespace kelvore {

// Shows checksums as text where an expectation fails.
void PrintTo(const ImageChecksums& sums, std::ostream* out) {
  *out << "{" << sums.crc32 << ", " << sums.md5 << ", " << sums.sha1 << "}";
}

namespace {

using testkit::NestedDiscRecipe;
using testkit::SyntheticImage;
using testkit::TempFolder;

std::vector<std::byte> Bytes(std::string_view text) {
  const auto* begin = reinterpret_cast<const std::byte*>(text.data());
  return {begin, begin + text.size()};
}

// Bytes i % 251: no two chunks of kChunkSize alike.
std::vector<std::byte> Pattern(std::size_t length) {
  std::vector<std::byte> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::byte>(i % 251);
  return bytes;
}

// Counts the reads and fails the one numbered `failing_read` (from 1; 0: none).
class CountingSource : public ByteSource {
 public:
  explicit CountingSource(std::vector<std::byte> bytes, int failing_read = 0)
      : bytes_(std::move(bytes)), failing_read_(failing_read) {}

  std::uint64_t Size() const override { return bytes_.Size(); }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    if (++reads_ == failing_read_) throw IoError("Reading failed.");
    bytes_.ReadAt(offset, out);
  }
  int Reads() const { return reads_; }

 private:
  MemoryByteSource bytes_;
  int failing_read_;
  mutable int reads_ = 0;
};

class ChecksumsTest : public ::testing::Test {
 protected:
  ImageChecksums Compute(const ByteSource& source) {
    return ComputeChecksums(source, {interrupted_, [this](std::uint64_t done) {
                                       progress_.push_back(done);
                                       if (progress_.size() == interrupt_after_) {
                                         interrupted_ = true;
                                       }
                                     }});
  }

  InterruptFlag interrupted_{false};
  std::size_t interrupt_after_ = 0;  // chunks; 0: never
  std::vector<std::uint64_t> progress_;
};

// The published test vectors of CRC32, MD5 and SHA-1; the CRC32 of the others, and the MD5 and
// SHA-1 of "123456789", from Python's zlib.crc32, md5sum and sha1sum.
TEST_F(ChecksumsTest, MatchesTheStandardTestVectors) {
  EXPECT_EQ(Compute(MemoryByteSource(Bytes(""))),
            (ImageChecksums{"00000000", "d41d8cd98f00b204e9800998ecf8427e",
                            "da39a3ee5e6b4b0d3255bfef95601890afd80709"}));
  EXPECT_EQ(Compute(MemoryByteSource(Bytes("abc"))),
            (ImageChecksums{"352441c2", "900150983cd24fb0d6963f7d28e17f72",
                            "a9993e364706816aba3e25717850c26c9cd0d89d"}));
  EXPECT_EQ(Compute(MemoryByteSource(Bytes("123456789"))),
            (ImageChecksums{"cbf43926", "25f9e794323b453885f5181f1b624d0b",
                            "f7c3bc1d808e04732adf679965ccc34ca7ae3441"}));
  EXPECT_EQ(Compute(MemoryByteSource(std::vector<std::byte>(1'000'000, std::byte{'a'}))),
            (ImageChecksums{"dc25bfbc", "7707d6ae4e027c70eea2a935c2296f21",
                            "34aa973cd4c4daa4f61eeb2bdbad27316534016f"}));
}

// Exactly one chunk, and two chunks and a part of one.
TEST_F(ChecksumsTest, TakesEveryByteAcrossChunkBoundaries) {
  EXPECT_EQ(Compute(MemoryByteSource(Pattern(kChunkSize))),
            (ImageChecksums{"18574713", "f6224c81f6d6b0c9c260a4f677f5db6f",
                            "8e2ba8c6fd3d3fd6c2c073443b18f4f484639dd3"}));
  EXPECT_EQ(Compute(MemoryByteSource(Pattern(2 * kChunkSize + 1000))),
            (ImageChecksums{"3f3a25ed", "e2682fff8faf46ffb718e892098849ac",
                            "4bac8f5f88f344b2cb99eceb0e09f5e0ca0072ce"}));
}

// The synthetic kit's nested disc (498,016 bytes), as written to a file; the values come
// from md5sum, sha1sum and Python's zlib.crc32 on that file. A change to the kit's images
// changes them.
TEST_F(ChecksumsTest, MatchesTheSumsOfAnImageFile) {
  const TempFolder folder;
  const std::string path = folder.PathOf("nested.gcm");
  SyntheticImage(NestedDiscRecipe()).WriteTo(path);
  EXPECT_EQ(Compute(*OpenSourceImage(path)),
            (ImageChecksums{"9d3799b3", "e1b444ea1a5787d54a3d631d0cdaae03",
                            "a684f685145533a3ac9ab721f13266e944ce6476"}));
}

TEST_F(ChecksumsTest, ReportsTheBytesDoneAfterEachChunk) {
  Compute(MemoryByteSource(Pattern(2 * kChunkSize + 1000)));
  EXPECT_EQ(progress_,
            (std::vector<std::uint64_t>{kChunkSize, 2 * kChunkSize, 2 * kChunkSize + 1000}));
  progress_.clear();
  Compute(MemoryByteSource(Bytes("")));
  EXPECT_TRUE(progress_.empty());
}

TEST_F(ChecksumsTest, StopsBetweenChunksOnceInterrupted) {
  const CountingSource source(Pattern(4 * kChunkSize));
  interrupt_after_ = 2;
  EXPECT_THROW(
      try { Compute(source); } catch (const IoError& error) {
        EXPECT_STREQ(error.what(), "Interrupted.");
        throw;
      },
      IoError);
  EXPECT_EQ(source.Reads(), 2);
  EXPECT_EQ(progress_, (std::vector<std::uint64_t>{kChunkSize, 2 * kChunkSize}));
}

TEST_F(ChecksumsTest, ReadsNothingWhenInterruptedBeforeStarting) {
  const CountingSource source(Pattern(kChunkSize));
  interrupted_ = true;
  EXPECT_THROW(Compute(source), IoError);
  EXPECT_EQ(source.Reads(), 0);
}

TEST_F(ChecksumsTest, PassesOnAReadingFailure) {
  const CountingSource source(Pattern(8 * kChunkSize), 3);
  EXPECT_THROW(
      try { Compute(source); } catch (const IoError& error) {
        EXPECT_STREQ(error.what(), "Reading failed.");
        throw;
      },
      IoError);
  EXPECT_EQ(source.Reads(), 3);
}

}  // namespace
}  // namespace kelvore
