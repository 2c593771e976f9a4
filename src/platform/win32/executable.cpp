#include "platform/executable.h"

#include <windows.h>

#include "platform/win32/module_path.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

using win32::ModulePath;

constexpr const wchar_t* kSeparators = L"\\/";

class Win32Executable final : public Executable {
 public:
  std::string Name() const override {
    const std::wstring path = ModulePath();
    const std::size_t separator = path.find_last_of(kSeparators);
    std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
    // The extension starts at the last dot; a name that only starts with a dot keeps it.
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot != 0) name.resize(dot);
    return win32::Narrow(name);
  }

  std::string Folder() const override {
    std::wstring folder = ModulePath();
    const std::size_t separator = folder.find_last_of(kSeparators);
    folder.resize(separator == std::wstring::npos ? 0 : separator);
    // A program at the root of a drive: "C:\" becomes "C:", so that appending "\name"
    // gives a well-formed path.
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
      folder.pop_back();
    }
    return win32::Narrow(folder);
  }
};

}  // namespace

Executable& SystemExecutable() {
  static Win32Executable executable;
  return executable;
}

}  // namespace platform
