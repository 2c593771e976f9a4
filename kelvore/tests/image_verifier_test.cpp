#include "kelvore/tool/image_verifier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/disc/disc_format.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/disc/layout.h"
#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/storage_fakes.h"
#include "kelvore/tool/image_writer.h"

namespace kelvore {
namespace {

using testkit::CachedDiskFile;

// A full-size image rebuilt from the nested disc onto a fake disk, in its cache.
class ImageVerifierTest : public ::testing::Test {
 protected:
  ImageVerifierTest() {
    WriteImage(plan_, source_, output_, {NeverInterrupted(), [](std::uint64_t) {}});
  }

  // Flushes the image and verifies it; `after_block` runs after each block is compared, with
  // its end.
  std::string VerificationFailure(const std::function<void(std::uint64_t)>& after_block) {
    output_.Flush();
    try {
      VerifyImage(plan_, source_, *output_.OpenReadBack(), {NeverInterrupted(), after_block});
    } catch (const IoError& error) {
      return error.what();
    }
    return "verified";
  }

  // Makes the disk's read of the block at `offset` fail, flagging `failed` first.
  void FailReadAt(std::uint64_t offset, std::atomic<bool>& failed) {
    const std::uint64_t length =
        std::min<std::uint64_t>(kReadBackBlock, plan_.ImageSize() - offset);
    const std::string read = "read " + CachedDiskFile::Range(offset, length);
    disk_->on_event = [read, &failed](const std::string& event) {
      if (event != read) return;
      failed = true;
      throw IoError("Injected read failure.");
    };
  }

  const testkit::SyntheticImage image_{testkit::NestedDiscRecipe()};
  const MemoryByteSource source_{image_.Bytes()};
  const Disc disc_ = ReadDisc(source_);
  const Layout layout_ = PlanLayout(disc_, ImageMode::kStandard, {});
  const ImagePlan plan_{disc_, layout_, ReadBytes(source_, 0, format::kHeaderSize)};
  const std::shared_ptr<CachedDiskFile::State> disk_ = std::make_shared<CachedDiskFile::State>();
  CachedDiskFile output_{disk_};
};

// The reading thread gets ahead of the comparison, but a block that differs is reported
// before the failure to read a later one.
TEST_F(ImageVerifierTest, ReportsADifferenceBeforeAFailureToReadALaterBlock) {
  disk_->damage_at = kReadBackBlock + 5;
  std::atomic<bool> failed{false};
  FailReadAt(2 * kReadBackBlock, failed);
  const std::string failure = VerificationFailure([&failed](std::uint64_t done) {
    if (done > kReadBackBlock) return;
    while (!failed) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the failure is stored
  });
  EXPECT_NE(failure.find("Verification failed: "), std::string::npos) << failure;
  EXPECT_NE(failure.find(" at offset 0x100005 of the new image."), std::string::npos) << failure;
}

TEST_F(ImageVerifierTest, AFailureToReadTheLastBlockReachesTheCaller) {
  ASSERT_EQ(VerificationFailure([](std::uint64_t) {}), "verified");
  std::atomic<bool> failed{false};
  FailReadAt((plan_.ImageSize() - 1) / kReadBackBlock * kReadBackBlock, failed);
  EXPECT_EQ(VerificationFailure([](std::uint64_t) {}), "Injected read failure.");
}

}  // namespace
}  // namespace kelvore
