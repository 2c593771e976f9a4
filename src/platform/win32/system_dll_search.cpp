#include "platform/win32/system_dll_search.h"

#include <windows.h>

namespace platform::win32 {

void LoadDllsFromSystemFolderOnly() {
  // SetDefaultDllDirectories exists from Windows 8 on, and on Windows 7 with KB2533623;
  // kernel32 is always loaded, so looking it up loads nothing.
  using SetDefaultDllDirectoriesFunction = BOOL WINAPI(DWORD);
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction*>(reinterpret_cast<void*>(
          ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // Without it, at least the current folder leaves the search.
  ::SetDllDirectoryW(L"");
}

}  // namespace platform::win32
