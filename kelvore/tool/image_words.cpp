#include "kelvore/tool/image_words.h"

#include <algorithm>
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

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringAsciiCase(char a, char b) { return AsciiLower(a) == AsciiLower(b); }

// The bytes of the UTF-8 character that starts at `at`.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  std::size_t end = at + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return end - at;
}

// Names in the order a listing shows them: letters of either case together, and names the
// same but for case in the order of their bytes.
bool ComesBefore(const std::string& a, const std::string& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const auto x = static_cast<unsigned char>(AsciiLower(a[i]));
    const auto y = static_cast<unsigned char>(AsciiLower(b[i]));
    if (x != y) return x < y;
  }
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// A name ending in .gcm, .iso or .ciso, of any case, after something.
bool HasImageExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == 0 || dot == std::string_view::npos) return false;
  std::string extension(name.substr(dot));
  for (char& c : extension) c = AsciiLower(c);
  return extension == ".gcm" || extension == ".iso" || extension == ".ciso";
}

// The paths of the entries of `folder` that `pattern` matches, or without a pattern of its
// image files, sorted as a listing shows them (the paths of one folder sort as their names
// do), in time quadratic in their number, which is a collection's few thousand at most.
std::vector<std::string> ListedPaths(const std::string& folder, const std::string_view* pattern,
                                     const ImageWordReading& reading) {
  std::vector<std::string> paths;
  for (const FolderEntry& entry : reading.folders.list(folder)) {
    const bool wanted = pattern != nullptr ? MatchesWildcard(entry.name, *pattern)
                                           : !entry.is_folder && HasImageExtension(entry.name);
    if (!wanted) continue;
    std::string path = PathInFolder(folder, entry.name);
    paths.insert(std::upper_bound(paths.begin(), paths.end(), path, ComesBefore), std::move(path));
  }
  return paths;
}

void AddFolderImages(const std::string& folder, const ImageWordReading& reading,
                     std::vector<NamedImage>& images) {
  std::vector<std::string> paths = ListedPaths(folder, nullptr, reading);
  if (paths.empty()) {
    images.push_back(
        {folder, Joined({Printable(folder), " is a folder without .gcm, .iso or .ciso files."})});
  }
  for (std::string& path : paths) images.push_back({std::move(path), {}});
}

// A word as if it were named alone: a folder for its images, anything else for itself.
void AddNamed(const std::string& word, const ImageWordReading& reading,
              std::vector<NamedImage>& images) {
  if (reading.folders.is_folder(word)) return AddFolderImages(word, reading, images);
  images.push_back({word, {}});
}

// Wildcards stand in the last part of the path only: a folder part that holds them names
// no folder the system can list.
void AddMatches(const std::string& pattern, const ImageWordReading& reading,
                std::vector<NamedImage>& images) {
  const std::size_t separator = pattern.find_last_of(kSeparators);
  const std::string folder =
      separator == std::string::npos ? "." : pattern.substr(0, separator + 1);
  const std::string_view name = std::string_view(pattern).substr(separator + 1);
  const std::vector<std::string> paths = ListedPaths(folder, &name, reading);
  if (paths.empty()) {
    images.push_back({pattern, Joined({"Nothing matches ", Printable(pattern), "."})});
  }
  for (const std::string& path : paths) AddNamed(path, reading, images);
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
  const std::vector<NamedImage> images = ImagesNamedBy({word}, reading);
  return images.size() > 1 || images.front().error.empty();
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
