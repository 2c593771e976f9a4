#include "kelvore/platform/process_start.h"

#include <windows.h>

#include <array>

#include "platform/win32/system_dll_search.h"

namespace kelvore {
namespace {

// A standard handle a parent passed that is not open in this process: the number would be
// free for the tool's own files, and text written to it could then land in the image.
bool IsStaleHandle(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  SetLastError(NO_ERROR);
  return GetFileType(handle) == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR;
}

}  // namespace

bool PrepareProcess() {
  platform::win32::LoadDllsFromSystemFolderOnly();
  for (const DWORD which :
       std::array<DWORD, 3>{STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    if (IsStaleHandle(GetStdHandle(which))) SetStdHandle(which, nullptr);
  }
  return true;
}

}  // namespace kelvore
