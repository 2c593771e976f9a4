// Writes the fuzzing seed corpus: small valid synthetic images of several shapes, and one of
// them as a CISO file.
// Usage: kelvore_fuzz_seeds SEED_FOLDER [MORE_FOLDERS...], each folder made anew, empty.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kelvore/disc/ciso.h"
#include "kelvore/testing/synthetic_image.h"

namespace {

using kelvore::testkit::SyntheticFile;
using kelvore::testkit::SyntheticImage;
using kelvore::testkit::SyntheticImageRecipe;

SyntheticImageRecipe SmallRecipe(std::vector<SyntheticFile> files, std::uint64_t seed) {
  SyntheticImageRecipe recipe;
  recipe.apploader_code_size = 0x40;
  recipe.apploader_trailer_size = 0x20;
  recipe.dol_text_size = 0x40;
  recipe.dol_data_size = 0x20;
  recipe.files = std::move(files);
  recipe.seed = seed;
  return recipe;
}

std::vector<SyntheticImageRecipe> Seeds() {
  return {
      SmallRecipe({}, 1),
      SmallRecipe({{"a.bin", 16, 4}}, 2),
      SmallRecipe({{"opening.bnr", 32, 32},
                   {"audio/bgm.adp", 40, 64},
                   {"audio/v/v1.dtk", 8, 4},
                   {"data/l1/map.dat", 24, 16},
                   {"data/l1/empty", 0, 4},
                   {"data/readme", 5, 8},
                   {"MUSIC.ADP", 12, 4}},
                  3),
      SmallRecipe({{"a/b/c/d/e/deep.bin", 8, 4}, {"a/b/side.bin", 4, 4}, {"z.bin", 4, 2048}}, 4),
  };
}

// The image as a CISO file of 32 KiB blocks, the blocks of zeros left out.
void WriteAsCiso(const std::vector<std::byte>& image, const std::string& path) {
  namespace ciso = kelvore::ciso;
  std::vector<std::byte> file = ciso::EmptyHeader(ciso::kBlockUnit);
  for (std::size_t at = 0; at < image.size(); at += ciso::kBlockUnit) {
    std::vector<std::byte> block(ciso::kBlockUnit);
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(at),
                std::min<std::size_t>(block.size(), image.size() - at), block.begin());
    if (ciso::IsAllZero(block)) continue;
    ciso::MarkStored(file, at / ciso::kBlockUnit);
    file.insert(file.end(), block.begin(), block.end());
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: kelvore_fuzz_seeds SEED_FOLDER [MORE_FOLDERS...]\n");
    return 1;
  }
  // Each run starts from the seeds alone: what an earlier run added to a folder goes.
  for (int i = 1; i < argc; ++i) {
    std::filesystem::remove_all(argv[i]);
    std::filesystem::create_directories(argv[i]);
  }
  int number = 0;
  for (const SyntheticImageRecipe& recipe : Seeds()) {
    SyntheticImage(recipe).WriteTo(std::string(argv[1]) + "/seed-" + std::to_string(++number) +
                                   ".gcm");
  }
  WriteAsCiso(SyntheticImage(Seeds()[2]).Bytes(), std::string(argv[1]) + "/seed-ciso.ciso");
  return 0;
}
