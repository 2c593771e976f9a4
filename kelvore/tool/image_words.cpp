#include "kelvore/tool/image_words.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <exception>

#include "kelvore/base/message_format.h"
#include "kelvore/tool/output_path.h"

namespace kelvore {
namespace {

constexpr std::string_view kWildcards = "*?";
#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/:";
#else
constexpr std::string_view kSeparators = "/";
#endif
constexpr std::array<std::string_view, 3> kImageExtensions = {".gcm", ".iso", ".ciso"};

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringAsciiCase(char a, char b) { return AsciiLower(a) == AsciiLower(b); }

// The bytes of the UTF-8 character that starts at `at`.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  std::size_t end = at + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return end - at;
}

// Names in the order a listing shows them: letters of either case together.
bool ComesBefore(const std::string& a, const std::string& b) {
  const auto folded = [](char x, char y) { return AsciiLower(x) < AsciiLower(y); };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded)) return false;
  return a < b;
}

bool HasImageExtension(std::string_view name) {
  return std::any_of(kImageExtensions.begin(), kImageExtensions.end(), [name](auto extension) {
    return name.size() > extension.size() &&
           std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                      SameIgnoringAsciiCase);
  });
}

// The folder part of `path`, its separator included, and its last part.
struct SplitPath {
  std::string folder;
  std::string name;
};
SplitPath Split(const std::string& path) {
  const std::size_t separator = path.find_last_of(kSeparators);
  if (separator == std::string::npos) return {".", path};
  return {path.substr(0, separator + 1), path.substr(separator + 1)};
}

// `names`, of entries of `folder`, sorted as a listing shows them, as paths.
std::vector<std::string> SortedPaths(const std::string& folder, std::vector<std::string> names) {
  std::sort(names.begin(), names.end(), ComesBefore);
  for (std::string& name : names) name = PathInFolder(folder, name);
  return names;
}

void AddFolderImages(const std::string& folder, const ImageWordReading& reading,
                     std::vector<NamedImage>& images) {
  std::vector<std::string> names;
  for (FolderEntry& entry : reading.folders.list(folder)) {
    if (!entry.is_folder && HasImageExtension(entry.name)) names.push_back(std::move(entry.name));
  }
  const std::vector<std::string> paths = SortedPaths(folder, std::move(names));
  if (paths.empty()) {
    images.push_back(
        {folder, Printable(folder) + " is a folder without .gcm, .iso or .ciso files."});
  }
  for (const std::string& path : paths) images.push_back({path, {}});
}

// A word as if it were named alone: a folder for its images, anything else for itself.
void AddNamed(const std::string& word, const ImageWordReading& reading,
              std::vector<NamedImage>& images) {
  if (reading.folders.is_folder(word)) return AddFolderImages(word, reading, images);
  images.push_back({word, {}});
}

void AddMatches(const std::string& pattern, const ImageWordReading& reading,
                std::vector<NamedImage>& images) {
  const SplitPath split = Split(pattern);
  if (HoldsWildcards(split.folder, reading)) {
    images.push_back({pattern,
                      "* and ? stand only in the last part of a path, not in its "
                      "folders: " +
                          Printable(pattern)});
    return;
  }
  std::vector<std::string> names;
  for (FolderEntry& entry : reading.folders.list(split.folder)) {
    if (MatchesWildcard(entry.name, split.name)) names.push_back(std::move(entry.name));
  }
  const std::vector<std::string> matches = SortedPaths(split.folder, std::move(names));
  if (matches.empty()) {
    images.push_back({pattern, "Nothing matches " + Printable(pattern) + "."});
  }
  for (const std::string& match : matches) AddNamed(match, reading, images);
}

}  // namespace

bool HoldsWildcards(std::string_view word, const ImageWordReading& reading) {
  return reading.expand_wildcards && word.find_first_of(kWildcards) != std::string_view::npos;
}

bool StandsForSeveral(const std::string& word, const ImageWordReading& reading) {
  return HoldsWildcards(word, reading) || reading.folders.is_folder(word);
}

bool NamesSomething(const std::string& word, const ImageWordReading& reading,
                    const std::function<bool(const std::string&)>& path_exists) {
  if (!HoldsWildcards(word, reading)) return path_exists(word);
  try {
    const std::vector<NamedImage> images = ImagesNamedBy({word}, reading);
    return images.size() > 1 || images.front().error.empty();
  } catch (const std::exception&) {
    return false;
  }
}

std::vector<NamedImage> ImagesNamedBy(const std::vector<std::string>& words,
                                      const ImageWordReading& reading) {
  std::vector<NamedImage> images;
  for (const std::string& word : words) {
    try {
      if (HoldsWildcards(word, reading)) {
        AddMatches(word, reading, images);
      } else {
        AddNamed(word, reading, images);
      }
    } catch (const std::exception& error) {
      images.push_back({word, error.what()});
    }
  }
  return images;
}

// Each * first takes as little as it can and takes one more character each time what
// follows it fails to match.
bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  std::size_t at = 0;
  std::size_t in_pattern = 0;
  std::size_t star = std::string_view::npos;  // the pattern's last * passed
  std::size_t star_took_until = 0;            // where what that * takes ends in the name
  while (at < name.size()) {
    if (in_pattern < pattern.size() && pattern[in_pattern] == '*') {
      star = in_pattern++;
      star_took_until = at;
    } else if (in_pattern < pattern.size() && pattern[in_pattern] == '?') {
      at += CharacterLength(name, at);
      ++in_pattern;
    } else if (in_pattern < pattern.size() &&
               SameIgnoringAsciiCase(pattern[in_pattern], name[at])) {
      ++at;
      ++in_pattern;
    } else if (star != std::string_view::npos) {
      star_took_until += CharacterLength(name, star_took_until);
      at = star_took_until;
      in_pattern = star + 1;
    } else {
      return false;
    }
  }
  return pattern.find_first_not_of('*', in_pattern) == std::string_view::npos;
}

}  // namespace kelvore
