#include "kelvore/base/message_format.h"

#include <gtest/gtest.h>

namespace kelvore {
namespace {

TEST(Printable, EscapesControlCharactersAndKeepsEverythingElseByteForByte) {
  EXPECT_EQ(Printable("C:\\Games\\Disc One.gcm"), "C:\\Games\\Disc One.gcm");
  EXPECT_EQ(Printable("a\x1B[2J\nb\rc\x7F" + std::string(1, '\0')),
            "a\\x1B[2J\\x0Ab\\x0Dc\\x7F\\x00");
  // C1 controls in UTF-8 (U+009B) and as single bytes; U+00C0 to U+00FF and other
  // characters pass, as do bytes of another encoding that stand for no control.
  EXPECT_EQ(Printable("\xC2\x9B"
                      "2J"),
            "\\xC2\\x9B2J");
  EXPECT_EQ(Printable("caf\xC3\xA9 \xD0\x90 \xE3\x82\xBC \xF0\x9F\x8E\xAE"),
            "caf\xC3\xA9 \xD0\x90 \xE3\x82\xBC \xF0\x9F\x8E\xAE");
  EXPECT_EQ(Printable("caf\xE9 \x9B\x80 \xC2"), "caf\xE9 \\x9B\\x80 \xC2");
  EXPECT_EQ(Printable("\xC2\xA0\xC2\x9F\xC2"), "\xC2\xA0\\xC2\\x9F\xC2");
}

// The edges of UTF-8's lead bytes: what no well-formed character starts with (overlong
// 0xC0 and 0xC1, 0xF5 on) cannot hide the C1 control after it.
TEST(Printable, KnowsUtf8CharactersExactlyToTheEdgesOfTheirLeadBytes) {
  EXPECT_EQ(Printable("\x1F \x7E"), "\\x1F ~");
  EXPECT_EQ(Printable("\xC2\x80"), "\\xC2\\x80");
  EXPECT_EQ(Printable("\xC0\x80\xC1\x9B"), "\xC0\\x80\xC1\\x9B");
  EXPECT_EQ(Printable("\xF5\x80\x80\x80"), "\xF5\\x80\\x80\\x80");
  // U+07FF, U+0800, U+FFFF and U+10FFFF, at the ends of the lengths' ranges, pass whole.
  const std::string edges = "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF";
  EXPECT_EQ(Printable(edges), edges);
}

// Values line up after short labels; a label as long as the column, or longer, is kept
// whole and still stands apart from its value.
TEST(LabelColumn, PadsShortLabelsAndNeverCutsLongOnes) {
  EXPECT_EQ(LabelColumn("  Maker:", 19), "  Maker:           ");
  EXPECT_EQ(LabelColumn("  Audio streaming:", 19), "  Audio streaming: ");
  EXPECT_EQ(LabelColumn("  Audio streaming::", 19), "  Audio streaming:: ");
  EXPECT_EQ(LabelColumn("  A longer label than the column:", 19),
            "  A longer label than the column: ");
}

TEST(Counts, TakeTheSingularForOneOnly) {
  EXPECT_EQ(ByteCount(0), "0 bytes");
  EXPECT_EQ(ByteCount(1), "1 byte");
  EXPECT_EQ(ByteCount(1'459'978'240), "1,459,978,240 bytes");
  EXPECT_EQ(CountOf(1, "file"), "1 file");
  EXPECT_EQ(CountOf(1000, "file"), "1,000 files");
  EXPECT_EQ(ByteCount(100), "100 bytes");
  EXPECT_EQ(ByteCount(999'999'999), "999,999,999 bytes");
}

}  // namespace
}  // namespace kelvore
