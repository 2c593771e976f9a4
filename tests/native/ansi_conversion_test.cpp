#include "platform/ansi_conversion.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "doubles/documented_utf8_code_page.h"

namespace {

using platform::AnsiToWide;
using platform::Fidelity;
using platform::WideToAnsi;

// Under the UTF-8 ANSI code page (65001). The Western code page's exact conversions run
// under Wine (platform_layer_tests).
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

}  // namespace
