#include "kelvore/disc/disc_encoding.h"

#include <gtest/gtest.h>

namespace kelvore {
namespace {

constexpr DiscEncoding kWestern = DiscEncoding::kWindows1252;
constexpr DiscEncoding kJapanese = DiscEncoding::kShiftJis;

// The bytes on either side of each edge between controls, undefined bytes and characters.
TEST(ShownText, Windows1252EscapesControlsAndUndefinedBytesUpToTheirEdges) {
  EXPECT_EQ(ShownText("\x1F \x7E\x7F", kWestern), "\\x1F ~\\x7F");
  EXPECT_EQ(ShownText("\x80\x81\x9F\xA0\xFF", kWestern),
            "\xE2\x82\xAC\\x81\xC5\xB8\xC2\xA0\xC3\xBF");  // € Ÿ, no-break space, ÿ
}

// Lead bytes 0x81 to 0x9F and 0xE0 to 0xFC, trail bytes 0x40 to 0xFC, katakana 0xA1 to
// 0xDF: the first and last of each range decode, the bytes just outside are escaped.
TEST(ShownText, ShiftJisDecodesEachRangeToItsEdges) {
  EXPECT_EQ(ShownText("\x81\x40\x9F\x40\xE0\x40\xFC\x4B", kJapanese),
            "\xE3\x80\x80\xE6\xAA\x97\xE6\xBC\xBE\xE9\xBB\x91");  // ideographic space 檗漾黑
  EXPECT_EQ(ShownText("\x81\xFC", kJapanese), "\xE2\x97\xAF");    // ◯
  EXPECT_EQ(ShownText("\xA1\xDF", kJapanese), "\xEF\xBD\xA1\xEF\xBE\x9F");  // ｡ﾟ
  EXPECT_EQ(ShownText("\x80\xA0\xFD", kJapanese), "\\x80\\xA0\\xFD");
  EXPECT_EQ(ShownText("\x81\x3F", kJapanese), "\\x81?");
  EXPECT_EQ(ShownText("\x1F \x7F", kJapanese), "\\x1F \\x7F");
  EXPECT_EQ(ShownText("a\x81", kJapanese), "a\\x81");
}

TEST(EncodingOfGameCode, IsShiftJisForJapaneseCodesOnly) {
  EXPECT_EQ(EncodingOfGameCode("GZLJ"), kJapanese);
  EXPECT_EQ(EncodingOfGameCode("GZLE"), kWestern);
  EXPECT_EQ(EncodingOfGameCode("J"), kWestern);
}

}  // namespace
}  // namespace kelvore
