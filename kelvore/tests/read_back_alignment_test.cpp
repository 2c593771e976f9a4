#include "kelvore/tool/read_back_alignment.h"

#include <gtest/gtest.h>

#include <optional>

namespace kelvore {
namespace {

using Size = std::optional<std::uint64_t>;

// Stands in for one of the system's answers, and counts how often it is asked.
struct SystemAnswer {
  Size value;
  int asked = 0;
  SectorSizeQuery Query() {
    return [this] {
      ++asked;
      return value;
    };
  }
};

// Windows 8 and later tell a file's sector size through its handle; Windows 7 and Wine do
// not, and the volume answers instead.
TEST(ChooseSectorSize, TakesTheFilesOwnAnswerAndAsksTheVolumeOnlyWithoutOne) {
  struct Case {
    Size from_file;
    Size from_volume;
    std::optional<std::size_t> chosen;
    bool volume_asked;
  };
  const Case cases[] = {
      {8192, 512, 8192, false},            // the file's own answer wins
      {512, 16384, 4096, false},           // a small one counts as 4,096
      {32768, 512, 32768, false},          // the largest that can be kept to
      {std::nullopt, 16384, 16384, true},  // Windows 7, Wine
      {0, 8192, 8192, true},               // 0 says nothing
      {std::nullopt, 512, 4096, true},     //
      {std::nullopt, std::nullopt, 4096, true},
      {65536, 512, std::nullopt, false},          // too large: unbuffered reads cannot keep to it
      {std::nullopt, 12288, std::nullopt, true},  // no power of two
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "file " << c.from_file.value_or(999) << ", volume "
                                    << c.from_volume.value_or(999));
    SystemAnswer file{c.from_file};
    SystemAnswer volume{c.from_volume};
    EXPECT_EQ(ChooseSectorSize(file.Query(), volume.Query()), c.chosen);
    EXPECT_EQ(file.asked, 1);
    EXPECT_EQ(volume.asked, c.volume_asked ? 1 : 0);
  }
}

// Linux reports how direct reads of a file must be aligned, or that it cannot be read
// directly (0); older kernels and many file systems report nothing.
TEST(DirectReadAlignmentFrom, KeepsOffsetsAndBuffersToWhatTheSystemReports) {
  const auto alignment = [](std::optional<DirectIoReport> report) {
    const auto chosen = DirectReadAlignmentFrom(report);
    return chosen ? std::optional(std::pair(chosen->offsets, chosen->buffers)) : std::nullopt;
  };
  using Pair = std::pair<std::size_t, std::size_t>;
  EXPECT_EQ(alignment(std::nullopt), Pair(4096, 4096));
  EXPECT_EQ(alignment(DirectIoReport{0, 0}), std::nullopt) << "ext4 with data=journal";
  EXPECT_EQ(alignment(DirectIoReport{512, 4}), Pair(4096, 4096));
  EXPECT_EQ(alignment(DirectIoReport{8192, 512}), Pair(8192, 4096));
  EXPECT_EQ(alignment(DirectIoReport{4096, 16384}), Pair(4096, 16384));
  EXPECT_EQ(alignment(DirectIoReport{65536, 512}), std::nullopt);
  EXPECT_EQ(alignment(DirectIoReport{4096, 65536}), std::nullopt);
}

}  // namespace
}  // namespace kelvore
