#include "kelvore/tool/game_folders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kelvore/base/errors.h"

namespace kelvore {
namespace {

DiscIdentity Western(std::string title) { return {"GAFE01", std::move(title), 0}; }

// What a FAT32 or exFAT drive refuses, and what Windows would quietly cut from a name's end,
// never reaches a game folder's name; everything else of the title does, decoded as --info
// shows it.
TEST(FolderTitle, KeepsTheTitleButWhatTheLoadersDrivesRefuse) {
  EXPECT_EQ(FolderTitle(Western("Kelvore: Test\\Disc/1 *?\"<>| Caf\xE9")),
            "Kelvore_ Test_Disc_1 ______ Caf\xC3\xA9");
  EXPECT_EQ(FolderTitle(Western("Line\x07one\x1B[2J\x7F\x85")), "Lineone[2J\xE2\x80\xA6");
  EXPECT_EQ(FolderTitle(Western("Vol. 2 . .  ")), "Vol. 2");
  EXPECT_EQ(FolderTitle(Western(". . .")), "");
  // A byte that stands for no character stays visible, as --info shows it, made safe.
  EXPECT_EQ(FolderTitle(Western("A\x81")), "A_x81");
}

TEST(FolderTitle, DecodesJapaneseTitlesFromShiftJis) {
  const DiscIdentity japanese{"GZLJ01", "\x83\x5B\x83\x8B\x83\x5F\x81\x40\x81\x46 caf\x82\xC5", 0};
  // ゼルダ, an ideographic blank, a full-width colon (not the ASCII one), " cafで".
  EXPECT_EQ(FolderTitle(japanese),
            "\xE3\x82\xBC\xE3\x83\xAB\xE3\x83\x80\xE3\x80\x80\xEF\xBC\x9A caf\xE3\x81\xA7");
  // The same bytes on a Western disc are Windows-1252.
  EXPECT_EQ(FolderTitle({"GZLE01", "\x83\x5B", 0}), "\xC6\x92[");
}

// 64 UTF-16 units: a Japanese character is one, however many UTF-8 bytes it takes; the cut
// falls between characters, and a blank left at the cut goes too.
TEST(FolderTitle, KeepsAtMost64Utf16Units) {
  const std::string sixty_three(63, 'a');
  EXPECT_EQ(FolderTitle(Western(sixty_three + "bcd")), sixty_three + "b");
  EXPECT_EQ(FolderTitle(Western(sixty_three + " bcd")), sixty_three);
  std::string zelda;
  for (int i = 0; i < 70; ++i) zelda += "\x83\x5B";  // ゼ, three bytes in UTF-8
  std::string expected;
  for (int i = 0; i < 64; ++i) expected += "\xE3\x82\xBC";
  EXPECT_EQ(FolderTitle({"GZLJ01", zelda, 0}), expected);
}

TEST(GameFolderName, PutsTheSafeId6InBracketsAfterTheTitle) {
  EXPECT_EQ(GameFolderName(Western("Kelvore Test Disc")), "Kelvore Test Disc [GAFE01]");
  EXPECT_EQ(GameFolderName(Western("")), "[GAFE01]");
  EXPECT_EQ(GameFolderName(Western(" ..")), "[GAFE01]");
  EXPECT_EQ(GameFolderName({std::string("GA\0E\x80/", 6), "T", 0}), "T [GA_E__]");
  EXPECT_EQ(FolderId6("az09AZ"), "az09AZ");
  EXPECT_EQ(FolderId6("@[`{/:"), "______");
}

// A game folder is known by its ID6 in brackets at the end of its name, whatever its title,
// so that a set's discs meet even when their titles differ; a maker's code is part of it.
TEST(FindGameFolder, FindsTheGamesFolderByItsId6Alone) {
  const std::vector<FolderEntry> entries = {
      {"Other Title [GAFE01]", true}, {"Another [GAFE01]", true}, {"A file [GAFE01]", false},
      {"Game [GAFE02]", true},        {"Game[GAFE01]", true},     {"Game [GAFE01] copy", true},
  };
  EXPECT_EQ(FindGameFolder(entries, Western("Kelvore")), "Another [GAFE01]");
  EXPECT_EQ(FindGameFolder({{"[GAFE01]", true}}, Western("Kelvore")), "[GAFE01]");
  for (const char* other : {"Game[GAFE01]", "Game [GAFE01] copy", "Game [XGAFE01]"}) {
    EXPECT_EQ(FindGameFolder({{other, true}}, Western("Kelvore")), std::nullopt) << other;
  }
  EXPECT_EQ(FindGameFolder(entries, {"GAFE03", "Kelvore", 1}), std::nullopt);
  EXPECT_EQ(FindGameFolder({{"T [GA_E__]", true}}, {std::string("GA\0E\x80/", 6), "T", 1}),
            "T [GA_E__]");
}

TEST(GameFileName, NamesTheFirstTwoDiscsAndRefusesLaterOnes) {
  EXPECT_EQ(GameFileName({"GAFE01", "", 0}, false), "game.iso");
  EXPECT_EQ(GameFileName({"GAFE01", "", 1}, false), "disc2.iso");
  EXPECT_EQ(GameFileName({"GAFE01", "", 0}, true), "game.ciso");
  EXPECT_EQ(GameFileName({"GAFE01", "", 1}, true), "disc2.ciso");
  try {
    GameFileName({"GAFE01", "", 2}, false);
    ADD_FAILURE() << "a third disc was given a name";
  } catch (const ImageError& error) {
    EXPECT_NE(std::string(error.what())
                  .find("This is disc 3 of its game (header byte 0x06 is 2), and the loaders"),
              std::string::npos)
        << error.what();
  }
}

}  // namespace
}  // namespace kelvore
