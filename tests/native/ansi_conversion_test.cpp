#include "platform/ansi_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "doubles/documented_utf8_code_page.h"

namespace {

using platform::AnsiToWide;
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
  EXPECT_EQ(WideToAnsi(system, u"disc \u4E2D.gcm", Fidelity::kExact), std::nullopt);
  EXPECT_EQ(WideToAnsi(system, u"caf\u00E9.gcm", Fidelity::kExact), "caf\xE9.gcm");
  EXPECT_EQ(AnsiToWide(system, "caf\xE9.gcm", Fidelity::kExact), u"caf\u00E9.gcm");
}

}  // namespace
