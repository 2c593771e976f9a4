#include "kelvore/platform/folders.h"

#include <windows.h>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/base/win32/long_path.h"
#include "platform/win32/system_message.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace kelvore {
namespace {

using platform::win32::SystemMessage;

[[noreturn]] void Fail(std::string_view action, const std::string& path) {
  const DWORD error = GetLastError();
  throw IoError(Joined(
      {"Cannot ", action, " the folder ", Printable(path), ": ", SystemMessage(error), "."}));
}

}  // namespace

bool IsFolder(const std::string& path) { return IsFolderAt(LongPathForm(path)); }

// FindFirstFileExW lists what matches a name; "*" matches every entry. A drive's root has no
// "." or "..", so an empty one has no entry at all.
std::vector<FolderEntry> ListFolder(const std::string& path) {
  std::wstring pattern = LongPathForm(path);
  if (!pattern.ends_with(L'\\')) pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  const platform::win32::UniqueFindHandle search(FindFirstFileExW(
      pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
  if (!search) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return {};
    Fail("list", path);
  }
  std::vector<FolderEntry> entries;
  do {
    const std::string name = platform::win32::Narrow(found.cFileName);
    if (name == "." || name == "..") continue;
    entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search.Get(), &found));
  if (GetLastError() != ERROR_NO_MORE_FILES) Fail("list", path);
  return entries;
}

void CreateFolder(const std::string& path) {
  if (!CreateDirectoryW(LongPathForm(path).c_str(), nullptr)) Fail("create", path);
}

void RemoveEmptyFolder(const std::string& path) {
  if (!RemoveDirectoryW(LongPathForm(path).c_str())) Fail("remove", path);
}

FolderServices SystemFolders() {
  return {.is_folder = IsFolder,
          .list = ListFolder,
          .create = CreateFolder,
          .remove_empty = RemoveEmptyFolder};
}

}  // namespace kelvore
