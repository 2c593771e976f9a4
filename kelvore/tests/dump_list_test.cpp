#include "kelvore/tool/dump_list.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/tests/memory_input_stream.h"
#include "kelvore/tests/recording_console.h"
#include "kelvore/tests/temp_folder.h"
#include "kelvore/tool/exit_codes.h"

namespace kelvore {

void PrintTo(const DumpSerial& serial, std::ostream* out) {
  *out << serial.game_code << " disc " << int{serial.disc_number};
}

namespace {

using testkit::InputOf;
using testkit::MemoryInputStream;
using testkit::TempFolder;

constexpr std::string_view kHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" "
    "\"http://www.logiqx.com/Dats/datafile.dtd\">\n"
    "<datafile>\n"
    "\t<header>\n"
    "\t\t<name>Nintendo - GameCube</name>\n"
    "\t\t<description>Nintendo - GameCube - Discs (4) (20240101)</description>\n"
    "\t</header>\n";

// A list as the preservation project publishes it, with serials and versions on the files,
// and one game giving them as elements of its own.
const std::string kList =
    std::string(kHead) +
    "\t<game name=\"Tom &amp; Jerry (USA)\">\n"
    "\t\t<category>Games</category>\n"
    "\t\t<description>Tom &amp; Jerry (USA)</description>\n"
    "\t\t<rom name=\"Tom &amp; Jerry (USA).iso\" size=\"1459978240\" crc=\"9D3799B3\" "
    "md5=\"E1B444EA1A5787D54A3D631D0CDAAE03\" sha1=\"A684F685145533A3AC9AB721F13266E944CE6476\" "
    "serial=\"DL-DOL-GW7E-USA, DL-DOL-GW7E-USA-02\"/>\n"
    "\t</game>\n"
    "\t<game name=\"Big Game (Germany) (Disc 2) (Rev 1)\">\n"
    "\t\t<rom name=\"Big Game (Germany) (Disc 2) (Rev 1).iso\" size=\"1459978240\" "
    "crc=\"01234567\" sha1=\"0123456789abcdef0123456789abcdef01234567\" "
    "serial=\"DL-DOL-GU2D-1-NOE\" version=\"Rev 1\"/>\n"
    "\t</game>\n"
    "\t<game name=\"Other Game (Europe) (Rev 2)\">\n"
    "\t\t<serial>DL-DOL-GOTP-EUR</serial>\n"
    "\t\t<rom name=\"Other Game (Europe) (Rev 2).iso\" size=\"1459978240\" crc=\"89abcdef\" "
    "md5=\"00112233445566778899aabbccddeeff\"/>\n"
    "\t</game>\n"
    "</datafile>\n";

DumpList Read(std::string_view list) { return ReadDumpList(InputOf(list), "/lists/gc.dat"); }

// The message of the DumpListError reading `list` throws; empty if it throws none.
std::string Refusal(std::string_view list) {
  try {
    Read(list);
  } catch (const DumpListError& error) {
    return error.what();
  }
  return {};
}

std::string ListWith(std::string_view games) {
  return std::string(kHead) + std::string(games) + "</datafile>\n";
}

TEST(DumpList, KeepsEachFileWithItsChecksumsSerialsAndRevision) {
  const DumpList list = Read(kList);
  EXPECT_EQ(list.name, "Nintendo - GameCube");
  ASSERT_EQ(list.entries.size(), 3u);

  const DumpEntry& tom = list.entries[0];
  EXPECT_EQ(tom.game, "Tom & Jerry (USA)");
  EXPECT_EQ(tom.file, "Tom & Jerry (USA).iso");
  EXPECT_EQ(tom.size, 1459978240u);
  EXPECT_EQ(tom.crc32, "9d3799b3");
  EXPECT_EQ(tom.md5, "e1b444ea1a5787d54a3d631d0cdaae03");
  EXPECT_EQ(tom.sha1, "a684f685145533a3ac9ab721f13266e944ce6476");
  EXPECT_EQ(tom.serials, (std::vector<DumpSerial>{{"GW7E", 0}, {"GW7E", 0}}));
  EXPECT_EQ(tom.revision, 0);

  const DumpEntry& second_disc = list.entries[1];
  EXPECT_EQ(second_disc.serials, (std::vector<DumpSerial>{{"GU2D", 1}}));
  EXPECT_EQ(second_disc.revision, 1);
  EXPECT_TRUE(second_disc.md5.empty());
  EXPECT_TRUE(second_disc.HasStrongChecksum());

  const DumpEntry& other = list.entries[2];
  EXPECT_EQ(other.serials, (std::vector<DumpSerial>{{"GOTP", 0}}));
  EXPECT_EQ(other.revision, 2);
  EXPECT_TRUE(other.sha1.empty());
  EXPECT_TRUE(list.HasSerials());
}

TEST(DumpList, ReadsAListWithoutSerials) {
  const DumpList list = Read(
      ListWith("<game name=\"A (Japan)\"><rom name=\"A (Japan).iso\" size=\"100\" crc=\"00000001\" "
               "md5=\"00000000000000000000000000000001\"/></game>"
               "<machine name=\"B (USA)\"><rom name=\"B (USA).iso\" size=\"200\" "
               "sha1=\"0000000000000000000000000000000000000002\"/></machine>"));
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_EQ(list.entries[1].game, "B (USA)");
  EXPECT_FALSE(list.HasSerials());
}

TEST(DumpList, ReadsAListInUtf16) {
  std::string list = kList;
  list.replace(list.find("utf-8"), 5, "utf-16");
  std::string bytes = "\xFF\xFE";  // little-endian, as Windows writes it
  for (const char c : list) bytes += std::string{c, '\0'};
  const DumpList read = Read(bytes);
  ASSERT_EQ(read.entries.size(), 3u);
  EXPECT_EQ(read.entries[0].game, "Tom & Jerry (USA)");
}

TEST(DumpList, RefusesListsThatCannotBeUsedSayingWhy) {
  struct Case {
    const char* what;
    std::string list;
    const char* says;
  };
  const Case cases[] = {
      {"a zip archive", std::string("PK\x03\x04\x14\0\0\0", 8) + "gc.dat", "unzip it first"},
      {"an empty zip archive", std::string("PK\x05\x06", 4) + std::string(18, '\0'),
       "unzip it first"},
      {"broken XML", kList.substr(0, kList.size() / 2), "is not well-formed XML: line "},
      {"an empty file", "", "is not well-formed XML"},
      {"another root element", "<html><body/></html>", "its root element is <html>"},
      {"a list for another system",
       "<datafile><header><name>Nintendo - Wii</name></header></datafile>",
       "is for \"Nintendo - Wii\", not for the GameCube"},
      {"a header without a name", "<datafile><header/><game name=\"x\"/></datafile>",
       "its header names no system"},
      {"no header", "<datafile><game name=\"x\"/></datafile>", "before any header"},
      {"no games", ListWith(""), "lists no GameCube discs"},
      {"only CRC32s",
       ListWith("<game name=\"A\"><rom name=\"a.iso\" size=\"1\" crc=\"00000001\"/></game>"),
       "gives no MD5 or SHA-1"},
      {"a size that is no number",
       ListWith("<game name=\"A\">\n<rom name=\"a.iso\" size=\"1.4 GB\" crc=\"00000001\"/></game>"),
       "at line 9, the file \"a.iso\" of \"A\" gives the size \"1.4 GB\""},
      {"no size", ListWith("<game name=\"A\"><rom name=\"a.iso\" crc=\"00000001\"/></game>"),
       "gives no size"},
      {"a short MD5",
       ListWith("<game name=\"A\"><rom name=\"a.iso\" size=\"1\" md5=\"0123\"/></game>"),
       "gives the md5 \"0123\", which is not 32 hexadecimal digits"},
      {"a SHA-1 that is not hexadecimal",
       ListWith("<game name=\"A\"><rom name=\"a.iso\" size=\"1\" "
                "sha1=\"g123456789abcdef0123456789abcdef01234567\"/></game>"),
       "which is not 40 hexadecimal digits"},
  };
  for (const Case& c : cases) {
    const std::string refusal = Refusal(c.list);
    EXPECT_TRUE(refusal.starts_with("The dump list /lists/gc.dat ")) << c.what << ": " << refusal;
    EXPECT_NE(refusal.find(c.says), std::string::npos) << c.what << ": " << refusal;
  }
}

// A list is refused with exit code 1; a list that cannot be read at all is an input failure.
TEST(DumpList, AnUnusableListExitsWith1AndAnUnreadableOne3) {
  TempFolder folder;
  testkit::RecordingConsole console;
  const std::string zip = folder.PathOf("gc.zip");
  testkit::WriteFileBytes(zip, {std::byte{'P'}, std::byte{'K'}, std::byte{3}, std::byte{4}});
  EXPECT_EQ(ExitCodeOf(console, [&] { LoadDumpList(zip); }), kExitUsage);
  EXPECT_EQ(ExitCodeOf(console, [&] { LoadDumpList(folder.PathOf("none.dat")); }), kExitIoFailure);
  EXPECT_EQ(
      ExitCodeOf(
          console,
          [&] { ReadDumpList(std::make_unique<MemoryInputStream>(kList, kList.size() / 2), "x"); }),
      kExitIoFailure);
  ASSERT_EQ(console.errors.size(), 3u);
  EXPECT_NE(console.errors[0].find("gc.zip is a zip archive"), std::string::npos);
}

TEST(DumpList, SerialsNameTheGameCodeAndTheDisc) {
  struct Case {
    const char* serial;
    std::optional<DumpSerial> disc;
  };
  const Case cases[] = {
      {"DL-DOL-GW7E-USA", DumpSerial{"GW7E", 0}},
      {"DL-DOL-GU2D-1-NOE", DumpSerial{"GU2D", 1}},
      {"DL-DOL-G4BE-0-USA-02", DumpSerial{"G4BE", 0}},
      {"DOL-GZLP-EUR", DumpSerial{"GZLP", 0}},
      {" dl-dol-gw7e-usa ", DumpSerial{"GW7E", 0}},
      {"DL-DOL-GU2D-NOE-1", DumpSerial{"GU2D", 0}},
      {"SLUS-20001", std::nullopt},
      {"DL-DOL-GW7-USA", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseSerial(c.serial), c.disc) << c.serial;
}

TEST(DumpList, TheRevisionComesFromTheVersionElseTheName) {
  EXPECT_EQ(RevisionOf("Rev 2", "Game (USA)"), 2);
  EXPECT_EQ(RevisionOf("3", "Game (USA) (Rev 1)"), 3);
  EXPECT_EQ(RevisionOf("", "Game (USA) (Rev 1)"), 1);
  EXPECT_EQ(RevisionOf("1.00", "Game (USA) (Rev 4)"), 4);
  EXPECT_EQ(RevisionOf("", "Game (USA) (Rev A)"), 0);
  EXPECT_EQ(RevisionOf("", "Game (USA)"), 0);
}

}  // namespace
}  // namespace kelvore
