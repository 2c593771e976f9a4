#pragma once

#include <functional>
#include <memory>
#include <string>

#include "kelvore/tool/output_file.h"

namespace kelvore {

// The calls that give a finished image its final name, each returning 0 or -1 with errno
// set as the system call does. Tests replace them to play a file system that refuses some.
struct NamingCalls {
  // renameat2 with RENAME_NOREPLACE: fails with EEXIST rather than replace a file.
  std::function<int(const char* from, const char* to)> rename_no_replace;
  std::function<int(const char* from, const char* to)> link;
  std::function<int(const char* from, const char* to)> rename;
  std::function<int(const char* path)> unlink;
};

// The system's own calls.
NamingCalls SystemNamingCalls();

// Gives the closed file `from` the name `to` unless something already has that name, in the
// surest way the file system offers. Throws IoError naming the step that failed and what it
// left on the drive, FinishedImageError when `to` names the file but `from` does too.
void NameWithoutReplacing(const std::string& from, const std::string& to, const NamingCalls& calls);

// Makes the names in the folder that holds `path` durable. Throws FinishedImageError: it is
// called once the image has its name.
void FlushFolderOf(const std::string& path);

// CreateOutputFile whose CommitAs names the file through `calls`.
std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path, NamingCalls calls);

}  // namespace kelvore
