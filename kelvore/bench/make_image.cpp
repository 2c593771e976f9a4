// Writes a wiped synthetic disc image with about TOTAL_MIB of file data spread over FILES
// files in nested folders, for the benchmark.
// Usage: kelvore_make_image OUTPUT TOTAL_MIB [FILES]

#include <cstdio>
#include <cstdlib>
#include <string>

#include "kelvore/testing/synthetic_image.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "Usage: kelvore_make_image OUTPUT TOTAL_MIB [FILES]\n");
    return 1;
  }
  const std::uint64_t total = std::strtoull(argv[2], nullptr, 10) * 1024 * 1024;
  const std::uint64_t count = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 600;
  kelvore::testkit::SyntheticImageRecipe recipe;
  recipe.audio_streaming = true;  // every fiftieth file is streaming audio
  for (std::uint64_t i = 0; i < count; ++i) {
    // Lengths vary around the mean; alignments cycle through 4 bytes to 32 KiB.
    const std::uint64_t length = total / count / 2 + (total / count) * (i % 7) / 6;
    recipe.files.push_back({"dir" + std::to_string(i % 9) + "/sub" + std::to_string(i % 4) +
                                "/file" + std::to_string(i) + (i % 50 == 0 ? ".adp" : ".bin"),
                            static_cast<std::uint32_t>(length), 4u << (i % 14)});
  }
  kelvore::testkit::SyntheticImage(recipe).WriteTo(argv[1]);
  return 0;
}
