#include "platform/directory_search.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <memory>

#include "platform/executable.h"
#include "platform/file_attributes.h"
#include "support/error.h"

namespace platform {
namespace {

struct DirCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};

// Dot files are the POSIX form of hidden files.
std::uint32_t AttributesOf(const std::string& folder, const std::string& name) {
  std::uint32_t bits = attribute::kNormal;
  if (name.starts_with('.')) bits |= attribute::kHidden;
  struct stat status {};
  if (::stat((folder + "/" + name).c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
    bits |= attribute::kDirectory;
  }
  return bits;
}

class PosixDirectorySearch final : public DirectorySearch {
 public:
  std::string FirstMatch(const std::string& pattern, std::uint32_t attributeMask) override {
    if (pattern.empty()) {
      throw corvane::Error(corvane::error_number::kInvalidArgument, SystemExecutable().Name());
    }
    const auto slash = pattern.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
    const std::string namePattern =
        slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    std::unique_ptr<DIR, DirCloser> directory(::opendir(folder.c_str()));
    if (!directory || namePattern.empty()) return {};
    while (const dirent* entry = ::readdir(directory.get())) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (::fnmatch(namePattern.c_str(), name.c_str(), FNM_PERIOD) != 0) continue;
      if (MatchesAttributeMask(AttributesOf(folder, name), attributeMask)) return name;
    }
    return {};
  }
};

}  // namespace

DirectorySearch& SystemDirectorySearch() {
  static PosixDirectorySearch search;
  return search;
}

}  // namespace platform
