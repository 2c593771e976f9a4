#include "platform/ansi_code_page.h"

#include <windows.h>

#include "platform/ansi_conversion.h"
#include "platform/win32/system_message.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the system's wide text is UTF-16");

class Win32AnsiCodePageApi final : public AnsiCodePageApi {
 public:
  std::uint32_t GetACP() override { return ::GetACP(); }

  int WideCharToMultiByte(std::uint32_t flags, std::u16string_view wide, std::span<char> ansi,
                          bool* usedDefaultChar) override {
    BOOL used = FALSE;
    const int length = ::WideCharToMultiByte(
        CP_ACP, flags, reinterpret_cast<const wchar_t*>(wide.data()), static_cast<int>(wide.size()),
        ansi.data(), static_cast<int>(ansi.size()), nullptr, usedDefaultChar ? &used : nullptr);
    if (usedDefaultChar) *usedDefaultChar = used != FALSE;
    return length;
  }

  int MultiByteToWideChar(std::uint32_t flags, std::string_view ansi,
                          std::span<char16_t> wide) override {
    return ::MultiByteToWideChar(CP_ACP, flags, ansi.data(), static_cast<int>(ansi.size()),
                                 reinterpret_cast<wchar_t*>(wide.data()),
                                 static_cast<int>(wide.size()));
  }
};

std::u16string Utf16(std::string_view utf8) {
  const std::wstring wide = win32::Widen(utf8);
  return std::u16string(wide.begin(), wide.end());
}

std::string Utf8(const std::u16string& utf16) {
  return win32::Narrow(std::wstring(utf16.begin(), utf16.end()));
}

// Raised right after the failed conversion, while the system still holds its reason. Only
// a failed system call left one; otherwise the last error belongs to an earlier call.
[[noreturn]] void RaiseConversionError(ConversionFailure failure) {
  const std::string systemReason =
      failure == ConversionFailure::kSystemFailed ? win32::SystemMessage(::GetLastError()) : "";
  throw ConversionError(failure, ::GetACP(), systemReason);
}

}  // namespace

AnsiCodePageApi& SystemAnsiCodePageApi() {
  static Win32AnsiCodePageApi api;
  return api;
}

std::string ToAnsi(std::string_view utf8) {
  ConversionFailure failure{};
  std::optional<std::string> ansi =
      WideToAnsi(SystemAnsiCodePageApi(), Utf16(utf8), Fidelity::kLossy, &failure);
  if (!ansi) RaiseConversionError(failure);
  return std::move(*ansi);
}

std::optional<std::string> ToAnsiExact(std::string_view utf8) {
  return WideToAnsi(SystemAnsiCodePageApi(), Utf16(utf8), Fidelity::kExact);
}

std::string FromAnsi(std::string_view ansi) {
  ConversionFailure failure{};
  const std::optional<std::u16string> wide =
      AnsiToWide(SystemAnsiCodePageApi(), ansi, Fidelity::kLossy, &failure);
  if (!wide) RaiseConversionError(failure);
  return Utf8(*wide);
}

std::optional<std::string> FromAnsiExact(std::string_view ansi) {
  const std::optional<std::u16string> wide =
      AnsiToWide(SystemAnsiCodePageApi(), ansi, Fidelity::kExact);
  if (!wide) return std::nullopt;
  return Utf8(*wide);
}

}  // namespace platform
