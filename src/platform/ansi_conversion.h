#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "support/error.h"

namespace platform {

// kernel32's conversions between UTF-16 and the process's ANSI code page (CP_ACP).
class AnsiCodePageApi {
 public:
  // The values the system gives these.
  static constexpr std::uint32_t kUtf8CodePage = 65001;             // CP_UTF8
  static constexpr std::uint32_t kNoBestFitChars = 0x400;           // WC_NO_BEST_FIT_CHARS
  static constexpr std::uint32_t kWideErrInvalidChars = 0x80;       // WC_ERR_INVALID_CHARS
  static constexpr std::uint32_t kMultiByteErrInvalidChars = 0x08;  // MB_ERR_INVALID_CHARS

  virtual ~AnsiCodePageApi() = default;
  // GetACP: the process's ANSI code page.
  virtual std::uint32_t GetACP() = 0;
  // WideCharToMultiByte(CP_ACP, flags, ...) with the system's default character: the bytes
  // written into `ansi`, or needed when `ansi` is empty; 0 on failure. `usedDefaultChar`
  // may be null.
  virtual int WideCharToMultiByte(std::uint32_t flags, std::u16string_view wide,
                                  std::span<char> ansi, bool* usedDefaultChar) = 0;
  // MultiByteToWideChar(CP_ACP, flags, ...): the UTF-16 units written into `wide`, or
  // needed when `wide` is empty; 0 on failure.
  virtual int MultiByteToWideChar(std::uint32_t flags, std::string_view ansi,
                                  std::span<char16_t> wide) = 0;
};

// The system's conversions (Windows only).
AnsiCodePageApi& SystemAnsiCodePageApi();

// A lossy conversion replaces what the other side cannot hold (with '?' or U+FFFD); an
// exact one gives nothing instead, for file names, where a replaced character could name
// a different file.
enum class Fidelity { kLossy, kExact };

// Why a conversion gave no text.
enum class ConversionFailure {
  kTooLong,        // longer than the system's conversions take: no system call was made
  kSystemFailed,   // a system call failed, and the system's last error says why
  kLengthChanged,  // the system filled in another length than it had measured
  kNotExact,       // the system had to replace a character that has no exact form
};

// The ANSI form of a UTF-16 text; nothing when the system fails to convert it or, for an
// exact conversion, when a character has no exact form. Under the UTF-8 code page every
// valid UTF-16 text is exact and an unpaired surrogate is not. `failure`, when given,
// receives the reason there is nothing.
std::optional<std::string> WideToAnsi(AnsiCodePageApi& api, std::u16string_view wide,
                                      Fidelity fidelity, ConversionFailure* failure = nullptr);

// The UTF-16 form of an ANSI text; nothing when the system fails to convert it or, for an
// exact conversion, when the text holds a byte sequence the code page does not define.
std::optional<std::u16string> AnsiToWide(AnsiCodePageApi& api, std::string_view ansi,
                                         Fidelity fidelity, ConversionFailure* failure = nullptr);

// The error for a text that cannot be converted to or from `codePage`: error 5, naming the
// reason. `systemReason`, the system's text for its last error, is the reason only when a
// system call failed; otherwise the last error is not this conversion's and is not shown.
corvane::Error ConversionError(ConversionFailure failure, std::uint32_t codePage,
                               const std::string& systemReason);

}  // namespace platform
