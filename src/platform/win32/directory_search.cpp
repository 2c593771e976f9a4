#include "platform/directory_search.h"

#include <windows.h>

#include "platform/executable.h"
#include "platform/file_attributes.h"
#include "platform/win32/error_numbers.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

std::uint32_t ToAttributeBits(DWORD systemAttributes) {
  std::uint32_t bits = attribute::kNormal;
  if (systemAttributes & FILE_ATTRIBUTE_READONLY) bits |= attribute::kReadOnly;
  if (systemAttributes & FILE_ATTRIBUTE_HIDDEN) bits |= attribute::kHidden;
  if (systemAttributes & FILE_ATTRIBUTE_SYSTEM) bits |= attribute::kSystem;
  if (systemAttributes & FILE_ATTRIBUTE_DIRECTORY) bits |= attribute::kDirectory;
  if (systemAttributes & FILE_ATTRIBUTE_ARCHIVE) bits |= attribute::kArchive;
  return bits;
}

bool IsNothingFound(DWORD systemError) {
  return systemError == ERROR_FILE_NOT_FOUND || systemError == ERROR_PATH_NOT_FOUND ||
         systemError == ERROR_NO_MORE_FILES;
}

class Win32DirectorySearch final : public DirectorySearch {
 public:
  std::string FirstMatch(const std::string& pattern, std::uint32_t attributeMask) override {
    if (pattern.empty()) {
      throw corvane::Error(corvane::error_number::kInvalidArgument, SystemExecutable().Name());
    }
    WIN32_FIND_DATAW entry{};
    win32::UniqueFindHandle search(::FindFirstFileExW(
        win32::Widen(pattern).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
    if (!search) {
      const DWORD systemError = ::GetLastError();
      if (IsNothingFound(systemError)) return {};
      throw win32::FileError(systemError, pattern);
    }
    do {
      if (MatchesAttributeMask(ToAttributeBits(entry.dwFileAttributes), attributeMask)) {
        return win32::Narrow(entry.cFileName);
      }
    } while (::FindNextFileW(search.Get(), &entry));
    return {};
  }
};

}  // namespace

DirectorySearch& SystemDirectorySearch() {
  static Win32DirectorySearch search;
  return search;
}

}  // namespace platform
