#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/device_mode.h"
#include "dialogs/dialog_error.h"
#include "dialogs/dialog_text.h"
#include "dialogs/half_even.h"
#include "platform/executable.h"
#include "support/error.h"

namespace {

using namespace std::string_literals;
using namespace corvane::dialog_text;

TEST(FilterConversion, SeparatorsBecomeNulsAndTwoNulsCloseTheList) {
  EXPECT_EQ(ConvertFilter("GameCube ISO (*.GCM)|*.GCM"), "GameCube ISO (*.GCM)\0*.GCM\0\0"s);
  // The pattern of the default filter keeps its leading blank.
  EXPECT_EQ(ConvertFilter("All (*.*)| *.*"), "All (*.*)\0 *.*\0\0"s);
  // A colon separates too: the description splits in two, the blank after it stays.
  EXPECT_EQ(ConvertFilter("Images: GameCube|*.gcm"), "Images\0 GameCube\0*.gcm\0\0"s);
  EXPECT_EQ(ConvertFilter(""), "\0\0"s);
}

TEST(FilterPairAt, PicksPairsCountedFromOneAndWrapsAfterTheClosingNul) {
  const std::string list = "A\0a\0B\0b\0\0"s;
  EXPECT_EQ(FilterPairAt(list, 1), "A\0a"s);
  EXPECT_EQ(FilterPairAt(list, 2), "B\0b"s);
  EXPECT_EQ(FilterPairAt(list, 3), "\0"s);
  EXPECT_EQ(FilterPairAt(list, 4), "A\0a"s);
  EXPECT_EQ(FilterPairAt(list, 5), "B\0b"s);
  EXPECT_EQ(FilterPairAt(ConvertFilter("GameCube ISO (*.GCM)|*.GCM"), 1),
            "GameCube ISO (*.GCM)\0*.GCM"s);
}

TEST(FilterPairAt, LargeIndexesWrapWithoutWalkingEveryPair) {
  const std::string list = "A\0a\0B\0b\0\0"s;          // three segments a round
  EXPECT_EQ(FilterPairAt(list, 2147483647), "A\0a"s);  // (2^31 - 2) % 3 == 0
}

TEST(FilterPairAt, IsEmptyWithoutAPairToPick) {
  EXPECT_EQ(FilterPairAt("", 1), "");
  EXPECT_EQ(FilterPairAt("no separator", 1), "");
  // The system counts filters from 1; 0 or less names none.
  EXPECT_EQ(FilterPairAt("A\0a\0\0"s, 0), "");
  EXPECT_EQ(FilterPairAt("A\0a\0\0"s, -3), "");
  // A list that does not end in NUL wraps straight back to its first pair.
  EXPECT_EQ(FilterPairAt("A\0a"s, 2), "A\0a"s);
  // Past the end of a list with a single NUL at its end nothing is left.
  EXPECT_EQ(FilterPairAt("A\0a\0"s, 1), "A\0a"s);
  EXPECT_EQ(FilterPairAt("A\0a\0"s, 2), "");
}

TEST(DialogText, TextBeforeNullAndPadding) {
  EXPECT_EQ(TextBeforeNull("C:\\a.gcm\0old tail\0"s), "C:\\a.gcm");
  EXPECT_EQ(TextBeforeNull("no nul"), "no nul");
  EXPECT_EQ(TextBeforeNull("\0x"s), "");
  EXPECT_EQ(PadWithNuls("ab", 5), "ab\0\0\0"s);
  EXPECT_EQ(PadWithNuls("abcdef", 5), "abcdef");
  // Characters, not bytes: "é" is one character of two UTF-8 bytes, "😀" two characters.
  EXPECT_EQ(CharacterCount("é😀a"), 4u);
  EXPECT_EQ(PadWithNuls("é", 3), "é\0\0"s);
}

TEST(TextToByteArray, FillsAFixedArrayAndPadsTheCallersText) {
  std::vector<std::uint8_t> face(32, 0xAA);
  std::string name = "Arial";
  TextToByteArray(face, name);
  std::vector<std::uint8_t> expected{'A', 'r', 'i', 'a', 'l'};
  expected.resize(32, 0);
  EXPECT_EQ(face, expected);
  EXPECT_EQ(name, "Arial" + std::string(27, '\0'));
}

TEST(TextToByteArray, GivesAnUnallocatedArrayTheTextsBytes) {
  std::vector<std::uint8_t> bytes;
  std::string name = "Arial";
  TextToByteArray(bytes, name);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'A', 'r', 'i', 'a', 'l'}));
  EXPECT_EQ(name, "Arial");
}

TEST(TextToByteArray, CutsALongerTextWithoutTerminator) {
  std::vector<std::uint8_t> bytes(3);
  std::string text = "Tahoma";
  TextToByteArray(bytes, text);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'T', 'a', 'h'}));
  EXPECT_EQ(text, "Tahoma");
  EXPECT_EQ(ByteArrayToText(bytes), "Tah");
  const std::vector<std::uint8_t> padded{'A', 0, 0};
  EXPECT_EQ(ByteArrayToText(padded), "A\0\0"s);
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(corvane::RoundHalfEven(1500, 1000), 2);
  EXPECT_EQ(corvane::RoundHalfEven(2500, 1000), 2);
  EXPECT_EQ(corvane::RoundHalfEven(3500, 1000), 4);
  EXPECT_EQ(corvane::RoundHalfEven(2501, 1000), 3);
  EXPECT_EQ(corvane::RoundHalfEven(-2500, 1000), -2);
  EXPECT_EQ(corvane::RoundHalfEven(-1500, 1000), -2);
  EXPECT_EQ(corvane::RoundHalfEven(-1499, 1000), -1);
  EXPECT_EQ(corvane::RoundHalfEven(200, 15), 13);  // 13.33
}

TEST(RaiseDialogError, NumbersUpTo1000KeepTheirNumberAndStandardText) {
  const std::string program = platform::SystemExecutable().Name();
  try {
    corvane::dialog_error::RaiseDialogError(1000);
    FAIL() << "expected an error";
  } catch (const corvane::Error& error) {
    EXPECT_EQ(error.Number(), 1000);
    EXPECT_EQ(error.Source(), program + ".VBError");
  }
  try {
    corvane::dialog_error::RaiseDialogError(5);
    FAIL() << "expected an error";
  } catch (const corvane::Error& error) {
    EXPECT_EQ(error.Description(), "Invalid procedure call or argument");
  }
}

TEST(RaiseDialogError, HigherNumbersMoveIntoTheObjectRange) {
  const std::string program = platform::SystemExecutable().Name();
  try {
    corvane::dialog_error::RaiseDialogError(1001);
    FAIL() << "expected an error";
  } catch (const corvane::Error& error) {
    EXPECT_EQ(error.Number(), static_cast<std::int32_t>(0x800403E9u));
    EXPECT_EQ(error.Source(), program + ".CommonDialog");
    EXPECT_EQ(error.Description(), "");
  }
  EXPECT_LT(corvane::dialog_error::ToObjectError(1001), 0);
}

TEST(DeviceMode, TakesAllButTheLastTwoBytesAndDecodesTheSystemsLayout) {
  std::vector<std::uint8_t> block(156, 0);
  const std::string name = "Office Laser";
  std::copy(name.begin(), name.end(), block.begin());
  block[44] = 2;     // dmOrientation: landscape
  block[46] = 9;     // dmPaperSize: A4
  block[54] = 3;     // dmCopies
  block[58] = 0xFD;  // dmPrintQuality -3 (medium)
  block[59] = 0xFF;
  block[68] = 1;  // dmCollate
  const std::string form = "A4";
  std::copy(form.begin(), form.end(), block.begin() + 70);
  for (std::size_t i = 120; i < 124; ++i) block[i] = 0x11;  // dmDisplayFrequency

  corvane::DeviceModeBytes record{};
  corvane::TakeDeviceModeBytes(block, record);
  const corvane::DeviceMode mode = corvane::DecodeDeviceMode(record);
  EXPECT_EQ(mode.dmDeviceName, "Office Laser");
  EXPECT_EQ(mode.dmOrientation, 2);
  EXPECT_EQ(mode.dmPaperSize, 9);
  EXPECT_EQ(mode.dmCopies, 3);
  EXPECT_EQ(mode.dmPrintQuality, -3);
  EXPECT_EQ(mode.dmCollate, 1);
  EXPECT_EQ(mode.dmFormName, "A4");
  EXPECT_EQ(mode.dmDisplayFrequency, 0x1111);  // its last two bytes are not taken

  // A shorter block fills only its own length.
  corvane::TakeDeviceModeBytes(std::vector<std::uint8_t>(40, 0), record);
  EXPECT_EQ(corvane::DecodeDeviceMode(record).dmDeviceName, "");
  EXPECT_EQ(corvane::DecodeDeviceMode(record).dmCopies, 3);
}

}  // namespace
