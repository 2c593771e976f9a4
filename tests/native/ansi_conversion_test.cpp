#include "platform/ansi_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "doubles/documented_utf8_code_page.h"
#include "platform/executable.h"
#include "support/error.h"

namespace {

using platform::AnsiToWide;
using platform::ConversionFailure;
using platform::Fidelity;
using platform::WideToAnsi;

// Under the UTF-8 ANSI code page (65001). The system's own conversions run under Wine
// (platform_layer_tests).
class Utf8AnsiCodePage : public testing::Test {
 protected:
  doubles::DocumentedUtf8CodePage system;
};

TEST_F(Utf8AnsiCodePage, AFailedSystemConversionIsNoTextRatherThanAnEmptyOne) {
  system.FailEveryCall();
  for (const Fidelity fidelity : {Fidelity::kExact, Fidelity::kLossy}) {
    EXPECT_EQ(WideToAnsi(system, u"disc.gcm", fidelity), std::nullopt);
    EXPECT_EQ(AnsiToWide(system, "disc.gcm", fidelity), std::nullopt);
    // An empty text needs no system call, which would refuse it.
    EXPECT_EQ(WideToAnsi(system, u"", fidelity), "");
    EXPECT_EQ(AnsiToWide(system, "", fidelity), u"");
  }
}

// Only a failed system call leaves its reason in the system's last error.
TEST_F(Utf8AnsiCodePage, EachFailureTellsWhetherTheSystemFailed) {
  ConversionFailure failure{};
  // A text longer than the system's count takes is refused before any system call; the
  // views reach past their text, which is never read.
  const std::size_t tooLong = static_cast<std::size_t>(std::numeric_limits<int>::max()) + 1;
  const std::u16string wide = u"x";
  EXPECT_EQ(
      WideToAnsi(system, std::u16string_view(wide.data(), tooLong), Fidelity::kLossy, &failure),
      std::nullopt);
  EXPECT_EQ(failure, ConversionFailure::kTooLong);
  const std::string ansi = "x";
  failure = ConversionFailure::kSystemFailed;
  EXPECT_EQ(AnsiToWide(system, std::string_view(ansi.data(), tooLong), Fidelity::kLossy, &failure),
            std::nullopt);
  EXPECT_EQ(failure, ConversionFailure::kTooLong);

  system.FailEveryCall();
  EXPECT_EQ(WideToAnsi(system, u"disc.gcm", Fidelity::kLossy, &failure), std::nullopt);
  EXPECT_EQ(failure, ConversionFailure::kSystemFailed);
  failure = ConversionFailure::kTooLong;
  EXPECT_EQ(AnsiToWide(system, "disc.gcm", Fidelity::kLossy, &failure), std::nullopt);
  EXPECT_EQ(failure, ConversionFailure::kSystemFailed);
}

// The system measured the text, then filling the buffer failed or gave another length: no
// text, not the buffer's untouched or half-filled contents, and a reason that tells which.
TEST_F(Utf8AnsiCodePage, AFillThatFailsOrChangesLengthAfterTheMeasureIsNoText) {
  using Fill = doubles::DocumentedUtf8CodePage::Fill;
  const std::pair<Fill, ConversionFailure> cases[] = {
      {Fill::kFails, ConversionFailure::kSystemFailed},
      {Fill::kOneUnitShort, ConversionFailure::kLengthChanged}};
  for (const auto& [fill, reason] : cases) {
    system.SetFill(fill);
    for (const Fidelity fidelity : {Fidelity::kExact, Fidelity::kLossy}) {
      ConversionFailure failure{};
      EXPECT_EQ(WideToAnsi(system, u"disc.gcm", fidelity, &failure), std::nullopt);
      EXPECT_EQ(failure, reason);
      failure = ConversionFailure::kTooLong;
      EXPECT_EQ(AnsiToWide(system, "disc.gcm", fidelity, &failure), std::nullopt);
      EXPECT_EQ(failure, reason);
    }
  }
}

TEST(AnsiConversionError, ShowsTheSystemsReasonOnlyWhenASystemCallFailed) {
  const platform::Executable& program = platform::SystemExecutable();
  const corvane::Error failed =
      platform::ConversionError(ConversionFailure::kSystemFailed, 932, "Not enough memory");
  EXPECT_EQ(failed.Number(), 5);
  EXPECT_EQ(failed.Source(), program.Name());
  EXPECT_EQ(failed.Description(),
            "Invalid procedure call or argument: the system cannot convert a text to or from the "
            "ANSI code page 932 (Not enough memory)");
  for (const ConversionFailure failure :
       {ConversionFailure::kTooLong, ConversionFailure::kLengthChanged}) {
    const corvane::Error error = platform::ConversionError(failure, 1252, "an earlier reason");
    EXPECT_EQ(error.Description().find("an earlier reason"), std::string::npos)
        << error.Description();
    EXPECT_NE(error.Description().find("code page 1252 ("), std::string::npos);
  }
  EXPECT_NE(platform::ConversionError(ConversionFailure::kTooLong, 1252, "")
                .Description()
                .find("longer than the system converts"),
            std::string::npos);
}

TEST_F(Utf8AnsiCodePage, EveryValidTextIsExactBothWays) {
  const std::u16string name = u"\u30BC\u30EB\u30C0 caf\u00E9.gcm";  // ゼルダ café.gcm
  const std::string utf8 = "\xE3\x82\xBC\xE3\x83\xAB\xE3\x83\x80 caf\xC3\xA9.gcm";
  for (const Fidelity fidelity : {Fidelity::kExact, Fidelity::kLossy}) {
    EXPECT_EQ(WideToAnsi(system, name, fidelity), utf8);
    EXPECT_EQ(AnsiToWide(system, utf8, fidelity), name);
  }
}

TEST_F(Utf8AnsiCodePage, AnUnpairedSurrogateOrAStrayByteIsNotExact) {
  const std::u16string unpaired = u"disc" + std::u16string(1, char16_t{0xD800}) + u".gcm";
  EXPECT_EQ(WideToAnsi(system, unpaired, Fidelity::kExact), std::nullopt);
  EXPECT_EQ(WideToAnsi(system, unpaired, Fidelity::kLossy), "disc\xEF\xBF\xBD.gcm");
  EXPECT_EQ(AnsiToWide(system, "disc\xFF.gcm", Fidelity::kExact), std::nullopt);
  EXPECT_EQ(AnsiToWide(system, "disc\xFF.gcm", Fidelity::kLossy), u"disc\uFFFD.gcm");
}

// kernel32's conversions for the Western code page 1252 as Windows documents them, for
// the few characters the tests use: ASCII and Latin-1 map to themselves; U+0101 (a with
// macron) has only the best fit "a", which WC_NO_BEST_FIT_CHARS refuses; U+4E2D (a CJK
// character) has no form at all. What has no form becomes the default character '?', and
// that is reported through lpUsedDefaultChar.
class DocumentedWesternCodePage final : public platform::AnsiCodePageApi {
 public:
  std::uint32_t GetACP() override { return 1252; }

  int WideCharToMultiByte(std::uint32_t flags, std::u16string_view wide, std::span<char> ansi,
                          bool* usedDefaultChar) override {
    if (wide.empty() || (flags & ~kNoBestFitChars) != 0) return 0;
    std::string converted;
    bool usedDefault = false;
    for (const char16_t unit : wide) {
      char byte = '?';
      if (unit < 0x100) {
        byte = static_cast<char>(unit);
      } else if (unit == u'\u0101' && (flags & kNoBestFitChars) == 0) {
        byte = 'a';
      } else {
        usedDefault = true;
      }
      converted.push_back(byte);
    }
    if (usedDefaultChar) *usedDefaultChar = usedDefault;
    if (ansi.empty()) return static_cast<int>(converted.size());
    if (ansi.size() < converted.size()) return 0;
    std::copy(converted.begin(), converted.end(), ansi.begin());
    return static_cast<int>(converted.size());
  }

  int MultiByteToWideChar(std::uint32_t, std::string_view ansi, std::span<char16_t> wide) override {
    if (ansi.empty()) return 0;
    if (wide.empty()) return static_cast<int>(ansi.size());
    if (wide.size() < ansi.size()) return 0;
    std::transform(ansi.begin(), ansi.end(), wide.begin(), [](char byte) {
      return static_cast<char16_t>(static_cast<unsigned char>(byte));
    });
    return static_cast<int>(ansi.size());
  }
};

// A name's best fit could name another file: "\u0101.gcm" must not become "a.gcm".
TEST(WesternAnsiCodePage, ACharacterWithOnlyABestFitHasNoExactForm) {
  DocumentedWesternCodePage system;
  EXPECT_EQ(WideToAnsi(system, u"disc \u0101.gcm", Fidelity::kExact), std::nullopt);
  EXPECT_EQ(WideToAnsi(system, u"disc \u0101.gcm", Fidelity::kLossy), "disc ?.gcm");
  ConversionFailure failure{};
  EXPECT_EQ(WideToAnsi(system, u"disc \u4E2D.gcm", Fidelity::kExact, &failure), std::nullopt);
  EXPECT_EQ(failure, ConversionFailure::kNotExact);
  EXPECT_EQ(WideToAnsi(system, u"caf\u00E9.gcm", Fidelity::kExact), "caf\xE9.gcm");
  EXPECT_EQ(AnsiToWide(system, "caf\xE9.gcm", Fidelity::kExact), u"caf\u00E9.gcm");
}

}  // namespace
