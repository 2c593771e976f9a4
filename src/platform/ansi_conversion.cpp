#include "platform/ansi_conversion.h"

#include <limits>

namespace platform {
namespace {

template <typename Text>
bool FitsTheSystemsCount(const Text& text) {
  return text.size() <= static_cast<std::size_t>(std::numeric_limits<int>::max());
}

// Runs a system conversion twice, to measure and to fill; nothing when either fails. The
// system refuses empty input, which converts to empty output.
template <typename Output, typename Input, typename Conversion>
std::optional<Output> RunTwice(const Input& input, Conversion convert) {
  if (input.empty()) return Output();
  if (!FitsTheSystemsCount(input)) return std::nullopt;
  const int length = convert(std::span<typename Output::value_type>());
  if (length <= 0) return std::nullopt;
  Output output(static_cast<std::size_t>(length), typename Output::value_type());
  if (convert(std::span(output)) != length) return std::nullopt;
  return output;
}

}  // namespace

std::optional<std::string> WideToAnsi(AnsiCodePageApi& api, std::u16string_view wide,
                                      Fidelity fidelity) {
  const bool exact = fidelity == Fidelity::kExact;
  // Under UTF-8 the system refuses the best-fit flag and the default-character report;
  // its invalid-character flag is what tells an inexact text there.
  if (api.GetACP() == AnsiCodePageApi::kUtf8CodePage) {
    const std::uint32_t flags = exact ? AnsiCodePageApi::kWideErrInvalidChars : 0;
    return RunTwice<std::string>(wide, [&](std::span<char> ansi) {
      return api.WideCharToMultiByte(flags, wide, ansi, nullptr);
    });
  }
  bool usedDefaultChar = false;
  std::optional<std::string> ansi = RunTwice<std::string>(wide, [&](std::span<char> output) {
    return api.WideCharToMultiByte(AnsiCodePageApi::kNoBestFitChars, wide, output,
                                   exact ? &usedDefaultChar : nullptr);
  });
  if (usedDefaultChar) return std::nullopt;
  return ansi;
}

std::optional<std::u16string> AnsiToWide(AnsiCodePageApi& api, std::string_view ansi,
                                         Fidelity fidelity) {
  const std::uint32_t flags =
      fidelity == Fidelity::kExact ? AnsiCodePageApi::kMultiByteErrInvalidChars : 0;
  return RunTwice<std::u16string>(
      ansi, [&](std::span<char16_t> wide) { return api.MultiByteToWideChar(flags, ansi, wide); });
}

}  // namespace platform
