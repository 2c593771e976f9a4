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
  module_.Reset(LoadLibraryExW(path_.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!module_) throw IoError(LoadFailure() + ": " + SystemMessage(GetLastError()));
}

void* SystemLibrary::FindAddress(const char* name) const {
  void* const found = reinterpret_cast<void*>(GetProcAddress(module_.Get(), name));
  if (!found) {
    throw IoError(LoadFailure() + ": " + SystemMessage(GetLastError()) + " (" + name + ")");
  }
  return found;
}

std::string SystemLibrary::LoadFailure() const {
  return "Loading " + description_ + " " + Narrow(path_) + " failed";
}

}  // namespace kelvore
