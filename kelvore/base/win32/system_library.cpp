#include "kelvore/base/win32/system_library.h"

#include <utility>

#include "kelvore/base/errors.h"
#include "platform/win32/system_message.h"
#include "platform/win32/wide_text.h"

namespace kelvore {

using platform::win32::Narrow;
using platform::win32::SystemMessage;

SystemLibrary::SystemLibrary(const wchar_t* file_name, std::string description)
    : description_(std::move(description)) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    throw IoError("The system folder is unknown: " + SystemMessage(GetLastError()));
  }
  path_ = std::wstring(folder, length) + L"\\" + file_name;
  // The handle is checked before the owner takes it. Storing it first and testing the owner
  // was compiled wrongly by GCC 12's 32-bit link-time optimisation (the test read the owner
  // before the store), which made every load look failed.
  const HMODULE loaded = LoadLibraryExW(path_.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!loaded) throw LoadError(GetLastError());
  module_.Reset(loaded);
}

void* SystemLibrary::FindAddress(const char* name) const {
  void* const found = reinterpret_cast<void*>(GetProcAddress(module_.Get(), name));
  if (!found) throw LoadError(GetLastError(), name);
  return found;
}

// The system's error is taken by the caller before anything here can overwrite it.
IoError SystemLibrary::LoadError(DWORD error, const char* function) const {
  std::string message =
      "Loading " + description_ + " " + Narrow(path_) + " failed: " + SystemMessage(error);
  if (function) message += std::string(" (") + function + ")";
  return IoError(message);
}

}  // namespace kelvore
