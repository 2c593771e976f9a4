#include "kelvore/platform/posix/naming.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "kelvore/platform/posix/posix_io.h"
#include "kelvore/tool/output_path.h"
#include "platform/posix/unique_descriptor.h"

namespace kelvore {
namespace {

using platform::posix::UniqueDescriptor;

std::string RenameFailure(const std::string& from, const std::string& to,
                          const std::string& reason) {
  return "Renaming " + Printable(from) + " to " + Printable(to) + " failed: " + reason + ".";
}

// The file under `path` is still the empty one this run created.
bool IsOurPlaceholder(const std::string& path, const struct stat& created) {
  struct stat now {};
  return lstat(path.c_str(), &now) == 0 && now.st_dev == created.st_dev &&
         now.st_ino == created.st_ino && now.st_size == 0;
}

// What became of the placeholder after the rename over it failed, as a sentence.
std::string RemovePlaceholder(const std::string& path, const struct stat& created,
                              const NamingCalls& calls) {
  if (!IsOurPlaceholder(path, created)) {
    return " " + Printable(path) +
           " is no longer the empty file reserved for the image, so it was left as it is.";
  }
  if (calls.unlink(path.c_str()) != 0) {
    return " The empty file reserved for the image under that name could not be removed (" +
           Reason() + "): remove " + Printable(path) + " yourself.";
  }
  return " The empty file reserved for the image under that name was removed.";
}

// For file systems that offer neither a no-replace rename nor hard links (exFAT through FUSE,
// for one): the final name is first reserved as an empty file that only this run can have
// created (O_EXCL), then the image is renamed over it. Two risks remain. Another process
// could remove the placeholder and create a file of that name in the instant between the
// last check and the rename; that file would be replaced. And a kill between the two steps
// leaves an empty file under the final name beside the complete unfinished one.
void RenameOverPlaceholder(const std::string& from, const std::string& to,
                           const NamingCalls& calls) {
  UniqueDescriptor placeholder(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!placeholder && errno == EEXIST) throw IoError(OutputExistsMessage(to));
  if (!placeholder) {
    throw IoError("Reserving the name " + Printable(to) + " for the new image failed: " + Reason() +
                  ". Nothing was created under that name.");
  }
  struct stat created {};
  if (fstat(placeholder.Get(), &created) != 0) {
    throw IoError("Reserving the name " + Printable(to) + " for the new image failed: " + Reason() +
                  ". An empty file was left under that name; remove it yourself.");
  }
  placeholder.Close();
  if (!IsOurPlaceholder(to, created)) {
    throw IoError("Another program replaced the empty file reserved as " + Printable(to) +
                  " for the new image; it was left as it is.");
  }
  if (calls.rename(from.c_str(), to.c_str()) == 0) return;
  const std::string failure = RenameFailure(from, to, Reason());
  throw IoError(failure + RemovePlaceholder(to, created, calls));
}

// How a file system says it has no RENAME_NOREPLACE (many FUSE file systems, kernels before
// 3.15), and how one says it has no hard links (FAT, many FUSE file systems).
bool RefusesNoReplaceRename(int error) {
  return error == EINVAL || error == ENOSYS || error == ENOTSUP;
}
bool RefusesHardLinks(int error) {
  return error == EPERM || error == ENOTSUP || error == ENOSYS || error == EMLINK;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

NamingCalls SystemNamingCalls() {
  return {
      .rename_no_replace =
          [](const char* from, const char* to) {
#ifdef __linux__
            return renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#else
            errno = ENOSYS;
            return -1;
#endif
          },
      .link = ::link,
      .rename = ::rename,
      .unlink = ::unlink,
  };
}

void NameWithoutReplacing(const std::string& from, const std::string& to,
                          const NamingCalls& calls) {
  if (calls.rename_no_replace(from.c_str(), to.c_str()) == 0) return;
  if (errno == EEXIST) throw IoError(OutputExistsMessage(to));
  if (!RefusesNoReplaceRename(errno)) throw IoError(RenameFailure(from, to, Reason()));
  // A hard link cannot replace a file either; the unfinished name goes once the final one
  // holds the image.
  if (calls.link(from.c_str(), to.c_str()) == 0) {
    if (calls.unlink(from.c_str()) != 0) {
      throw FinishedImageError(LeftoverPartMessage(to, from, Reason()));
    }
    return;
  }
  if (errno == EEXIST) throw IoError(OutputExistsMessage(to));
  if (!RefusesHardLinks(errno)) throw IoError(RenameFailure(from, to, Reason()));
  RenameOverPlaceholder(from, to, calls);
}

// A rename is durable once the folder that holds the name is flushed. File systems that
// cannot flush a folder say EINVAL; their names are as durable as they get.
void FlushFolderOf(const std::string& path) {
  const UniqueDescriptor folder(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder && fsync(folder.Get()) == 0) return;
  if (folder && errno == EINVAL) return;
  throw FinishedImageError("The new image is complete as " + Printable(path) +
                           ", but flushing its folder failed (" + Reason() +
                           "): its name may not survive a power failure.");
}

}  // namespace kelvore
