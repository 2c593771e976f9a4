#include "kelvore/platform/arguments.h"

#include <windows.h>

#include "kelvore/platform/win32/wide_text.h"
#include "kelvore/tool/windows_command_line.h"

namespace kelvore {
namespace {

constexpr DWORD kLongestPath = 32768;

std::wstring OwnPath() {
  std::wstring path(kLongestPath, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), kLongestPath));
  return path;
}

// Calls a Windows path function that reports the length it needs when the buffer is short.
template <typename PathFunction>
std::wstring GrowingCall(PathFunction call) {
  std::wstring result(MAX_PATH, L'\0');
  DWORD length = call(result.data(), static_cast<DWORD>(result.size()));
  if (length >= result.size()) {
    result.resize(length);
    length = call(result.data(), static_cast<DWORD>(result.size()));
  }
  result.resize(length < result.size() ? length : 0);
  return result;
}

}  // namespace

// The C runtime's argv holds the arguments in the ANSI code page; the wide command line
// keeps every character, and lets the unquoted paths Corvane composes be recognised.
std::vector<std::string> ProgramArguments(int, char**) {
  return ArgumentsFromCommandLine(WideToUtf8(GetCommandLineW()), WideToUtf8(OwnPath()));
}

std::string ResolvePath(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  const std::wstring full = GrowingCall([&wide](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
  });
  if (full.empty()) return path;
  const std::wstring long_form = GrowingCall([&full](wchar_t* buffer, DWORD size) {
    return GetLongPathNameW(full.c_str(), buffer, size);
  });
  return WideToUtf8(long_form.empty() ? full : long_form);
}

}  // namespace kelvore
