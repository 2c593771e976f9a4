#include "kelvore/base/win32/long_path.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace kelvore {
namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongSharePrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kSharePrefix = L"\\\\";

bool HasSystemPrefix(std::wstring_view path) {
  return path.starts_with(kLongPrefix) || path.starts_with(kDevicePrefix);
}

}  // namespace

std::wstring LongPathForm(const std::string& path) {
  const std::wstring wide = platform::win32::Widen(path);
  if (HasSystemPrefix(wide)) return wide;
  const std::wstring full = GrowingPathCall([&wide](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
  });
  if (full.empty() || HasSystemPrefix(full)) return full.empty() ? wide : full;
  if (full.starts_with(kSharePrefix)) {
    return std::wstring(kLongSharePrefix) + full.substr(kSharePrefix.size());
  }
  return std::wstring(kLongPrefix) + full;
}

std::string ShownPath(std::wstring_view long_form) {
  if (long_form.starts_with(kLongSharePrefix)) {
    return platform::win32::Narrow(std::wstring(kSharePrefix) +
                                   std::wstring(long_form.substr(kLongSharePrefix.size())));
  }
  if (long_form.starts_with(kLongPrefix)) long_form.remove_prefix(kLongPrefix.size());
  return platform::win32::Narrow(long_form);
}

bool IsFolderAt(const std::wstring& long_form) {
  const DWORD attributes = GetFileAttributesW(long_form.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace kelvore
