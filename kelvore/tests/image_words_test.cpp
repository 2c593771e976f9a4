#include "kelvore/tool/image_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/tool/output_path.h"

namespace kelvore {
namespace {

using Paths = std::vector<std::string>;

// Folders in memory: each listed folder and its entries; anything not listed is no folder.
// Paths are looked up with '/' between names, whichever separator joined them.
class FakeFolders {
 public:
  explicit FakeFolders(std::map<std::string, std::vector<FolderEntry>> folders)
      : folders_(std::move(folders)) {}

  ImageWordReading Reading(bool expand_wildcards) const {
    return {.folders = {.is_folder = [this](const std::string& path) { return Has(path); },
                        .list =
                            [this](const std::string& path) {
                              if (!Has(path) || path.ends_with("unreadable")) {
                                throw IoError("Cannot list " + path + ".");
                              }
                              return folders_.at(Trimmed(path));
                            },
                        .create = {},
                        .remove_empty = {}},
            .expand_wildcards = expand_wildcards};
  }

 private:
  static std::string Trimmed(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.size() > 1 && path.ends_with('/')) path.pop_back();
    return path;
  }
  bool Has(const std::string& path) const { return folders_.contains(Trimmed(path)); }

  std::map<std::string, std::vector<FolderEntry>> folders_;
};

// `name` in the folder "/games", joined as the system joins names.
std::string InGames(const std::string& name) { return PathInFolder("/games", name); }

Paths PathsOf(const std::vector<NamedImage>& images) {
  Paths paths;
  for (const NamedImage& image : images) paths.push_back(image.path);
  return paths;
}

const FakeFolders kFolders({
    {"/games",
     {{"b.ISO", false},
      {"readme.txt", false},
      {"A.gcm", false},
      {"C.ciso", false},
      {"a.gcm", false},
      {"sub.gcm", true},
      {"gcm", false},
      {"x.gcm.part", false}}},
    {"/games/sub.gcm", {{"inner.gcm", false}}},
    {"/empty", {{"notes.txt", false}}},
    {"/unreadable", {}},
});

// A folder stands for its image files of any case, sorted by name as a listing shows them;
// other words stand for themselves, in the order given, whether anything has their name or
// not.
TEST(ImagesNamedBy, AFolderStandsForItsImagesSortedByName) {
  const auto images = ImagesNamedBy({"/x.gcm", "/games", "/absent"}, kFolders.Reading(false));
  EXPECT_EQ(PathsOf(images), (Paths{"/x.gcm", InGames("A.gcm"), InGames("a.gcm"), InGames("b.ISO"),
                                    InGames("C.ciso"), "/absent"}));
  for (const NamedImage& image : images) EXPECT_EQ(image.error, "") << image.path;
  EXPECT_EQ(PathsOf(ImagesNamedBy({"/games/"}, kFolders.Reading(false))).front(), "/games/A.gcm");
}

// A word that stands for no image is an entry of its own that says why; the others go on.
TEST(ImagesNamedBy, AWordWithoutImagesIsAnEntryThatSaysWhy) {
  const auto images = ImagesNamedBy({"/empty", "/unreadable", "/x.gcm"}, kFolders.Reading(false));
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(images[0].error, "/empty is a folder without .gcm, .iso or .ciso files.");
  EXPECT_EQ(images[1].error, "Cannot list /unreadable.");
  EXPECT_EQ(images[2].path, "/x.gcm");
  EXPECT_EQ(images[2].error, "");
}

// Where kelvore expands wildcards, a pattern stands for its matches in its folder, sorted,
// each read as if named itself, as a shell would pass them: a folder among them for its
// images, a file whatever its extension.
TEST(ImagesNamedBy, WildcardsStandForWhatMatchesThemWhereTheyAreExpanded) {
  const ImageWordReading windows = kFolders.Reading(true);
  EXPECT_EQ(PathsOf(ImagesNamedBy({"/games/*.gcm"}, windows)),
            (Paths{"/games/A.gcm", "/games/a.gcm", PathInFolder("/games/sub.gcm", "inner.gcm")}));
  EXPECT_EQ(PathsOf(ImagesNamedBy({"/games/?.*", "/y.gcm"}, windows)),
            (Paths{"/games/A.gcm", "/games/a.gcm", "/games/b.ISO", "/games/C.ciso",
                   "/games/x.gcm.part", "/y.gcm"}));
  const auto unmatched = ImagesNamedBy({"/games/*.wbfs", "/g*/a.gcm"}, windows);
  ASSERT_EQ(unmatched.size(), 2u);
  EXPECT_EQ(unmatched[0].error, "Nothing matches /games/*.wbfs.");
  EXPECT_EQ(unmatched[1].error, "Cannot list /g*/.");
  // Where a shell has expanded them, what is left is part of a name.
  EXPECT_EQ(ImagesNamedBy({"/games/*.gcm"}, kFolders.Reading(false)).front().path, "/games/*.gcm");
  EXPECT_EQ(ImagesNamedBy({"/games/*.gcm"}, kFolders.Reading(false)).front().error, "");
}

TEST(ImageWords, TellWhatMayStandForSeveralAndWhatNamesSomething) {
  const ImageWordReading windows = kFolders.Reading(true);
  const ImageWordReading posix = kFolders.Reading(false);
  EXPECT_TRUE(StandsForSeveral("/games", posix));
  EXPECT_FALSE(StandsForSeveral("/games/a.gcm", posix));
  EXPECT_FALSE(StandsForSeveral("/games/*.gcm", posix));
  EXPECT_TRUE(StandsForSeveral("/games/*.gcm", windows));

  const auto only_x = [](const std::string& path) { return path == "/x.gcm"; };
  EXPECT_TRUE(NamesSomething("/x.gcm", windows, only_x));
  EXPECT_FALSE(NamesSomething("/y.gcm", windows, only_x));
  EXPECT_TRUE(NamesSomething("/games/b.*", windows, only_x));
  EXPECT_FALSE(NamesSomething("/games/*.wbfs", windows, only_x));
  EXPECT_FALSE(NamesSomething("/unreadable/*", windows, only_x));
  EXPECT_FALSE(NamesSomething("/games/b.*", posix, only_x));
}

TEST(MatchesWildcard, MatchesAsWindowsMatchesNames) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  for (const Case& c : std::vector<Case>{
           {"Disc One.GCM", "*.gcm", true},
           {"Disc One.gcmx", "*.gcm", false},
           {"x.gcm", "x.gcm", true},
           {"x.gcm", "x.gcmm", false},
           {"x.gcm", "X.GC?", true},
           {"x.gc", "x.gc?", false},
           {"axbxcxd", "a*b*c*d", true},
           {"axbxcx", "a*b*c*d", false},
           {"abcbc", "*bc", true},
           {"", "*", true},
           {"a", "", false},
           {"\xC3\xA9.iso", "?.iso", true},          // é: one character of two bytes
           {"\xC3\xA9.iso", "??.iso", false},        // not two
           {"\xC3\x89.iso", "\xC3\xA9.iso", false},  // É and é: letters beyond ASCII as they are
       }) {
    EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches) << c.name << " / " << c.pattern;
  }
}

}  // namespace
}  // namespace kelvore
