#include "kelvore/platform/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/platform/posix/posix_io.h"

namespace kelvore {
namespace {

struct FolderCloser {
  void operator()(DIR* folder) const { closedir(folder); }
};

}  // namespace

bool IsFolder(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// An entry that cannot be looked at (a link leading nowhere) counts as a file: named as an
// image, it then fails with the reason.
std::vector<FolderEntry> ListFolder(const std::string& path) {
  const std::unique_ptr<DIR, FolderCloser> folder(opendir(path.c_str()));
  if (!folder) throw IoError("Cannot list the folder " + Printable(path) + ": " + Reason() + ".");
  std::vector<FolderEntry> entries;
  errno = 0;
  while (const dirent* entry = readdir(folder.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat status {};
    const bool is_folder =
        fstatat(dirfd(folder.get()), entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
    entries.push_back({name, is_folder});
    errno = 0;
  }
  if (errno != 0) {
    throw IoError("Cannot list the folder " + Printable(path) + ": " + Reason() + ".");
  }
  return entries;
}

void CreateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0777) != 0) {
    throw IoError("Cannot create the folder " + Printable(path) + ": " + Reason() + ".");
  }
}

void RemoveEmptyFolder(const std::string& path) {
  if (rmdir(path.c_str()) != 0) {
    throw IoError("Cannot remove the folder " + Printable(path) + ": " + Reason() + ".");
  }
}

FolderServices SystemFolders() {
  return {.is_folder = IsFolder,
          .list = ListFolder,
          .create = CreateFolder,
          .remove_empty = RemoveEmptyFolder};
}

}  // namespace kelvore
