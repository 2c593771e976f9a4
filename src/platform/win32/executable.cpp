#include "platform/executable.h"

#include <windows.h>

#include <filesystem>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

std::filesystem::path ModulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

class Win32Executable final : public Executable {
 public:
  std::string Name() const override { return win32::Narrow(ModulePath().stem().wstring()); }

  std::string Folder() const override {
    std::wstring folder = ModulePath().parent_path().wstring();
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
