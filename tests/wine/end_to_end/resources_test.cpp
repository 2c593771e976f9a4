// The version record, icon group and manifest of Corvane.exe, read as data files: in the
// 64-bit suite those of both builds.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "driver/text.h"

namespace e2e {
namespace {

struct Build {
  const char* name;
  const char* path;
};

#if defined(_WIN64)
const Build kBuilds[] = {{"win64", CORVANE_EXE}, {"win32", CORVANE_WIN32_EXE}};
#else
const Build kBuilds[] = {{"win32", CORVANE_EXE}};
#endif

class ResourcesTest : public testing::TestWithParam<Build> {
 protected:
  void SetUp() override {
    path_ = Wide(GetParam().path);
    ASSERT_NE(::GetFileAttributesW(path_.c_str()), INVALID_FILE_ATTRIBUTES)
        << GetParam().path << " is missing: build the " << GetParam().name << " preset first";
  }

  std::vector<BYTE> VersionRecord() const {
    DWORD ignored = 0;
    std::vector<BYTE> record(::GetFileVersionInfoSizeW(path_.c_str(), &ignored));
    ::GetFileVersionInfoW(path_.c_str(), 0, static_cast<DWORD>(record.size()), record.data());
    return record;
  }

  std::wstring path_;
};

std::string VersionText(std::vector<BYTE>& record, const std::string& field) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring query = L"\\StringFileInfo\\040904B0\\" + Wide(field);
  if (!::VerQueryValueW(record.data(), query.c_str(), &value, &length)) return "<missing>";
  return Utf8(static_cast<const wchar_t*>(value));
}

TEST_P(ResourcesTest, VersionRecord) {
  std::vector<BYTE> record = VersionRecord();
  ASSERT_FALSE(record.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00000001u);  // 0.1
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);  // .0.0
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  WORD* translation = nullptr;
  ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04B0);
  EXPECT_EQ(VersionText(record, "FileVersion"), "0.01");
  EXPECT_EQ(VersionText(record, "ProductVersion"), "0.01");
  EXPECT_EQ(VersionText(record, "ProductName"), "Corvane");
  EXPECT_EQ(VersionText(record, "InternalName"), "Corvane");
  EXPECT_EQ(VersionText(record, "OriginalFilename"), "Corvane.exe");
  EXPECT_NE(VersionText(record, "CompanyName"), "<missing>");
  EXPECT_NE(VersionText(record, "LegalCopyright"), "<missing>");
}

TEST_P(ResourcesTest, IconGroupOneHoldsTheFiveImages) {
  const HMODULE module = ::LoadLibraryExW(
      path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  const auto load = [&](const wchar_t* type, WORD resourceId) -> const BYTE* {
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), type);
    return found ? static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)))
                 : nullptr;
  };
  const BYTE* group = load(RT_GROUP_ICON, 1);
  ASSERT_NE(group, nullptr);
  const WORD count = *reinterpret_cast<const WORD*>(group + 4);
  std::vector<std::tuple<int, int, int>> entries;
  std::vector<std::tuple<int, int, int>> images;
  for (WORD i = 0; i < count; ++i) {
    const BYTE* entry = group + 6 + 14 * i;  // GRPICONDIRENTRY
    entries.emplace_back(entry[0], entry[1], *reinterpret_cast<const WORD*>(entry + 6));
    const BYTE* image = load(RT_ICON, *reinterpret_cast<const WORD*>(entry + 12));
    ASSERT_NE(image, nullptr);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image);
    images.emplace_back(header->biWidth, header->biHeight / 2, header->biBitCount);
  }
  const std::vector<std::tuple<int, int, int>> expected = {
      {32, 32, 8}, {16, 16, 8}, {48, 48, 32}, {32, 32, 32}, {16, 16, 32}};
  EXPECT_EQ(entries, expected);
  EXPECT_EQ(images, expected);
  const HRSRC manifest = ::FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(manifest, nullptr);
  const std::string text(static_cast<const char*>(::LockResource(::LoadResource(module, manifest))),
                         ::SizeofResource(module, manifest));
  EXPECT_NE(text.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  ::FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, ResourcesTest, testing::ValuesIn(kBuilds),
                         [](const auto& build) { return std::string(build.param.name); });

}  // namespace
}  // namespace e2e
