#include "platform/ansi_conversion.h"

#include <limits>

#include "platform/executable.h"

namespace platform {
namespace {

template <typename Text>
bool FitsTheSystemsCount(const Text& text) {
  return text.size() <= static_cast<std::size_t>(std::numeric_limits<int>::max());
}

// Nothing, with the reason when the caller asked for it.
std::nullopt_t Failed(ConversionFailure* failure, ConversionFailure reason) {
  if (failure) *failure = reason;
  return std::nullopt;
}

// Runs a system conversion twice, to measure and to fill; nothing when either fails. The
// system refuses empty input, which converts to empty output.
template <typename Output, typename Input, typename Conversion>
std::optional<Output> RunTwice(const Input& input, ConversionFailure* failure, Conversion convert) {
  if (input.empty()) return Output();
  if (!FitsTheSystemsCount(input)) return Failed(failure, ConversionFailure::kTooLong);
  const int length = convert(std::span<typename Output::value_type>());
  if (length <= 0) return Failed(failure, ConversionFailure::kSystemFailed);
  Output output(static_cast<std::size_t>(length), typename Output::value_type());
  const int written = convert(std::span(output));
  if (written <= 0) return Failed(failure, ConversionFailure::kSystemFailed);
  if (written != length) return Failed(failure, ConversionFailure::kLengthChanged);
  return output;
}

std::string FailureReason(ConversionFailure failure, const std::string& systemReason) {
  switch (failure) {
    case ConversionFailure::kTooLong:
      return "the text is longer than the system converts";
    case ConversionFailure::kLengthChanged:
      return "the system converted the text to another length than it had measured";
    case ConversionFailure::kNotExact:
      return "a character has no exact form there";
    case ConversionFailure::kSystemFailed:
      break;
  }
  return systemReason;
}

}  // namespace

std::optional<std::string> WideToAnsi(AnsiCodePageApi& api, std::u16string_view wide,
                                      Fidelity fidelity, ConversionFailure* failure) {
  const bool exact = fidelity == Fidelity::kExact;
  // Under UTF-8 the system refuses the best-fit flag and the default-character report;
  // its invalid-character flag is what tells an inexact text there.
  if (api.GetACP() == AnsiCodePageApi::kUtf8CodePage) {
    const std::uint32_t flags = exact ? AnsiCodePageApi::kWideErrInvalidChars : 0;
    return RunTwice<std::string>(wide, failure, [&](std::span<char> ansi) {
      return api.WideCharToMultiByte(flags, wide, ansi, nullptr);
    });
  }
  bool usedDefaultChar = false;
  std::optional<std::string> ansi =
      RunTwice<std::string>(wide, failure, [&](std::span<char> output) {
        return api.WideCharToMultiByte(AnsiCodePageApi::kNoBestFitChars, wide, output,
                                       exact ? &usedDefaultChar : nullptr);
      });
  if (usedDefaultChar) return Failed(failure, ConversionFailure::kNotExact);
  return ansi;
}

std::optional<std::u16string> AnsiToWide(AnsiCodePageApi& api, std::string_view ansi,
                                         Fidelity fidelity, ConversionFailure* failure) {
  const std::uint32_t flags =
      fidelity == Fidelity::kExact ? AnsiCodePageApi::kMultiByteErrInvalidChars : 0;
  return RunTwice<std::u16string>(ansi, failure, [&](std::span<char16_t> wide) {
    return api.MultiByteToWideChar(flags, ansi, wide);
  });
}

corvane::Error ConversionError(ConversionFailure failure, std::uint32_t codePage,
                               const std::string& systemReason) {
  const std::int32_t number = corvane::error_number::kInvalidArgument;
  return corvane::Error(number, SystemExecutable().Name(),
                        corvane::StandardDescription(number) +
                            ": the system cannot convert a text to or from the ANSI code page " +
                            std::to_string(codePage) + " (" + FailureReason(failure, systemReason) +
                            ")");
}

}  // namespace platform
