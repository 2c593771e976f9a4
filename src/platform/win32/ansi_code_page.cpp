#include "platform/ansi_code_page.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// Converts to the ANSI code page without best-fit substitutions; `lossless` tells whether
// every character had an exact form.
std::string WideToAnsi(std::wstring_view wide, bool& lossless) {
  lossless = true;
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                           0, nullptr, &usedDefault);
  std::string ansi(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length,
                        nullptr, &usedDefault);
  lossless = usedDefault == FALSE;
  return ansi;
}

}  // namespace

std::string ToAnsi(std::string_view utf8) {
  bool lossless = true;
  return WideToAnsi(win32::Widen(utf8), lossless);
}

std::optional<std::string> ToAnsiExact(std::string_view utf8) {
  bool lossless = true;
  std::string ansi = WideToAnsi(win32::Widen(utf8), lossless);
  if (!lossless) return std::nullopt;
  return ansi;
}

std::string FromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int size = static_cast<int>(ansi.size());
  const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
  return win32::Narrow(wide);
}

}  // namespace platform
