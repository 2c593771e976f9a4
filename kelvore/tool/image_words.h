#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kelvore/tool/folder_services.h"

namespace kelvore {

// One entry of a run over many images: an image's path, or a word that stands for no image
// and why.
struct NamedImage {
  std::string path;
  std::string error;  // empty for an image
};

// How IMAGE words are read: folders are listed through `folders`; with `expand_wildcards`
// (Windows, where no shell expands them) * and ? in a word's last part are expanded too.
struct ImageWordReading {
  FolderServices folders;
  bool expand_wildcards = false;
};

// Whether `word` holds * or ? where they are expanded.
bool HoldsWildcards(std::string_view word, const ImageWordReading& reading);

// Whether `word` may stand for several images: a folder, or a name with wildcards.
bool StandsForSeveral(const std::string& word, const ImageWordReading& reading);

// Whether `word` names something on the drive: what `path_exists` finds, or a name with
// wildcards that something matches.
bool NamesSomething(const std::string& word, const ImageWordReading& reading,
                    const std::function<bool(const std::string&)>& path_exists);

// The images the words name, in their order. A folder stands for its .gcm, .iso and .ciso
// files (of any case), sorted by name; a name with wildcards in its last part for what
// matches it in its folder, sorted by name, each match read as if it were named itself; any
// other word for itself. A folder without images, a name that nothing matches and a folder
// that cannot be listed are entries with an error.
std::vector<NamedImage> ImagesNamedBy(const std::vector<std::string>& words,
                                      const ImageWordReading& reading);

// Whether `name` matches `pattern` as Windows matches names: * stands for any characters, ?
// for one, and ASCII letters match either case.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace kelvore
