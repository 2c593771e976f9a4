#pragma once

#include <string>
#include <string_view>

namespace kelvore {

// The form of `path` that Windows' file functions take at any length: made absolute (with
// "." and ".." resolved as Windows resolves them), then prefixed with \\?\, or \\?\UNC\ for
// a share. Device names (NUL, \\.\COM1) and prefixed paths stay as they are.
std::wstring LongPathForm(const std::string& path);

// Whether `long_form` (a path in the form above) names a folder, or a link to one.
bool IsFolderAt(const std::wstring& long_form);

// `long_form` as messages show it: in UTF-8, without the \\?\ prefix.
std::string ShownPath(std::wstring_view long_form);

// Calls a Windows path function that tells the length it needs when the buffer is short;
// empty when it fails.
template <typename PathFunction>
std::wstring GrowingPathCall(PathFunction call) {
  std::wstring result(260, L'\0');
  unsigned long length = call(result.data(), static_cast<unsigned long>(result.size()));
  if (length >= result.size()) {
    result.resize(length);
    length = call(result.data(), static_cast<unsigned long>(result.size()));
  }
  result.resize(length < result.size() ? length : 0);
  return result;
}

}  // namespace kelvore
