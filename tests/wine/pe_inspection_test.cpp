// The shipped 32-bit programs, read as files: built for i386 with the right subsystem,
// needing no DLL that does not come with Windows, small, and free of anything that would
// make two builds of the same sources differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint16_t kMachineI386 = 0x14C;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint16_t kHighEntropyVa = 0x20;
constexpr std::uint16_t kDynamicBase = 0x40;
constexpr std::uint16_t kNxCompat = 0x100;
constexpr std::size_t kImportDirectory = 1;
constexpr std::size_t kRelocationDirectory = 5;
constexpr std::uint16_t kSubsystemWindowsGui = 2;
constexpr std::uint16_t kSubsystemWindowsConsole = 3;

// The few facts of a PE32 image these tests look at.
class PeImage {
 public:
  explicit PeImage(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(file), {});
    if (bytes_.size() < 0x40) return;
    header_ = U32(0x3C);
    if (U32(header_) != 0x00004550) return;  // "PE\0\0"
    optional_ = header_ + 24;
    valid_ = true;
  }

  bool Valid() const { return valid_; }
  std::size_t Size() const { return bytes_.size(); }
  std::uint16_t Machine() const { return U16(header_ + 4); }
  std::uint32_t TimeDateStamp() const { return U32(header_ + 8); }
  std::uint16_t Magic() const { return U16(optional_); }
  std::uint16_t Subsystem() const { return U16(optional_ + 68); }
  std::uint16_t DllCharacteristics() const { return U16(optional_ + 70); }
  std::uint32_t DirectorySize(std::size_t index) const { return U32(Directory(index) + 4); }

  // The names of the DLLs the image imports, lower case.
  std::set<std::string> ImportedDlls() const {
    std::set<std::string> names;
    const std::uint32_t importRva = U32(Directory(kImportDirectory));
    for (std::size_t entry = Offset(importRva); entry != 0 && U32(entry + 12) != 0; entry += 20) {
      std::string name;
      for (std::size_t at = Offset(U32(entry + 12)); at < bytes_.size() && bytes_[at]; ++at) {
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(bytes_[at])));
      }
      names.insert(name);
    }
    return names;
  }

  bool Contains(std::string_view text) const {
    return std::search(bytes_.begin(), bytes_.end(), text.begin(), text.end()) != bytes_.end();
  }

 private:
  // Where a data directory's address and size lie; the directories follow the optional
  // header's fixed fields, which are 16 bytes longer in a 64-bit image.
  std::size_t Directory(std::size_t index) const {
    return optional_ + (Magic() == kPe32PlusMagic ? 112 : 96) + 8 * index;
  }
  std::uint16_t U16(std::size_t at) const {
    if (at + 2 > bytes_.size()) return 0;
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes_[at]) |
                                      static_cast<std::uint8_t>(bytes_[at + 1]) << 8);
  }
  std::uint32_t U32(std::size_t at) const {
    return U16(at) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
  }
  // The file offset of a relative virtual address, through the section table.
  std::size_t Offset(std::uint32_t rva) const {
    const std::uint16_t sections = U16(header_ + 6);
    const std::size_t table = optional_ + U16(header_ + 20);
    for (std::uint16_t i = 0; i < sections; ++i) {
      const std::size_t section = table + i * 40u;
      const std::uint32_t start = U32(section + 12);
      const std::uint32_t size = std::max(U32(section + 8), U32(section + 16));
      if (rva >= start && rva < start + size) return U32(section + 20) + (rva - start);
    }
    return 0;
  }

  std::vector<char> bytes_;
  std::size_t header_ = 0;
  std::size_t optional_ = 0;
  bool valid_ = false;
};

// DLLs every Windows installation has.
const std::set<std::string> kSystemDlls = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",   "kernel32.dll",
    "msvcrt.dll",   "ole32.dll",    "oleaut32.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll",   "uxtheme.dll",  "version.dll",  "ws2_32.dll"};

struct ShippedProgram {
  const char* file;
  std::uint16_t subsystem;
  std::size_t maximum_size;
};

class ShippedProgramTest : public testing::TestWithParam<ShippedProgram> {
 protected:
  static PeImage Read(const char* file) {
    const std::filesystem::path path = std::filesystem::path(CORVANE_WIN32_BIN) / file;
    EXPECT_TRUE(std::filesystem::exists(path)) << path << " missing: build the win32 preset first";
    return PeImage(path);
  }
};

TEST_P(ShippedProgramTest, IsA32BitProgramNeedingOnlySystemDlls) {
  const PeImage image = Read(GetParam().file);
  ASSERT_TRUE(image.Valid());
  EXPECT_EQ(image.Machine(), kMachineI386);
  EXPECT_EQ(image.Magic(), kPe32Magic);
  EXPECT_EQ(image.Subsystem(), GetParam().subsystem);
  const std::set<std::string> imports = image.ImportedDlls();
  EXPECT_TRUE(imports.count("kernel32.dll"));
  for (const std::string& dll : imports) {
    EXPECT_TRUE(kSystemDlls.count(dll)) << GetParam().file << " needs " << dll;
  }
}

TEST_P(ShippedProgramTest, StaysWithinItsSize) {
  const PeImage image = Read(GetParam().file);
  ASSERT_TRUE(image.Valid());
  EXPECT_LE(image.Size(), GetParam().maximum_size);
}

TEST_P(ShippedProgramTest, HoldsNoBuildTimeAndNoBuildFolder) {
  const PeImage image = Read(GetParam().file);
  ASSERT_TRUE(image.Valid());
  EXPECT_EQ(image.TimeDateStamp(), 0u);
  EXPECT_FALSE(image.Contains(CORVANE_SOURCE_DIR))
      << GetParam().file << " names " << CORVANE_SOURCE_DIR;
  EXPECT_FALSE(image.Contains(CORVANE_WIN32_BUILD_DIR));
}

INSTANTIATE_TEST_SUITE_P(
    Win32Build, ShippedProgramTest,
    testing::Values(ShippedProgram{"Corvane.exe", kSubsystemWindowsGui, 200 * 1024},
                    ShippedProgram{"kelvore.exe", kSubsystemWindowsConsole, 250 * 1024}),
    [](const auto& param) { return param.index == 0 ? "Corvane" : "kelvore"; });

// Both Windows builds' programs: data never runs as code, and the loader can move every
// image, which needs its relocations; a 64-bit image may be placed anywhere in its space.
TEST(HardeningTest, EveryProgramHasDepAndAslr) {
  for (const char* folder : {CORVANE_WIN32_BIN, CORVANE_OWN_BIN}) {
    for (const char* file : {"Corvane.exe", "kelvore.exe"}) {
      const std::filesystem::path path = std::filesystem::path(folder) / file;
      const PeImage image(path);
      ASSERT_TRUE(image.Valid()) << path;
      const std::uint16_t wanted =
          kNxCompat | kDynamicBase | (image.Magic() == kPe32PlusMagic ? kHighEntropyVa : 0);
      EXPECT_EQ(image.DllCharacteristics() & wanted, wanted) << path;
      EXPECT_GT(image.DirectorySize(kRelocationDirectory), 0u) << path;
    }
  }
}

// Windows looks for an imported DLL that is not one of its known DLLs in the program's folder
// first, where a planted one would run with the user's rights; neither bcrypt.dll nor
// xmllite.dll is known, so the rebuild tool loads them (its checksums' cryptography and its
// dump-list reader) from the system folder by their full paths instead of importing them.
TEST(HardeningTest, NoProgramImportsTheLibrariesLoadedByPath) {
  for (const char* folder : {CORVANE_WIN32_BIN, CORVANE_OWN_BIN}) {
    for (const char* file : {"Corvane.exe", "kelvore.exe"}) {
      const std::filesystem::path path = std::filesystem::path(folder) / file;
      const PeImage image(path);
      ASSERT_TRUE(image.Valid()) << path;
      for (const char* dll : {"bcrypt.dll", "xmllite.dll"}) {
        EXPECT_FALSE(image.ImportedDlls().count(dll)) << path << " imports " << dll;
      }
    }
  }
}

}  // namespace
