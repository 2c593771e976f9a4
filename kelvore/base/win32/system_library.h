#pragma once

#include <windows.h>

#include <string>

#include "kelvore/base/errors.h"
#include "platform/win32/unique_handle.h"

namespace kelvore {

// A DLL of the system's own, loaded from the system folder by its full path. Importing it
// instead would let Windows look for it in the program's own folder first (unless it is one
// of the DLLs Windows always takes from the system folder), where a planted copy would run
// with the user's rights. What it loads in turn is looked for beside it first. Failures throw
// IoError naming the library by `description` ("the system's XML reader").
class SystemLibrary {
 public:
  SystemLibrary(const wchar_t* file_name, std::string description);

  // The exported function `name`, as the type the library's header declares for it.
  template <typename Function>
  Function Find(const char* name) const {
    return reinterpret_cast<Function>(FindAddress(name));
  }

 private:
  void* FindAddress(const char* name) const;
  IoError LoadError(DWORD error, const char* function = nullptr) const;

  std::string description_;
  std::wstring path_;
  platform::win32::UniqueModule module_;
};

}  // namespace kelvore
