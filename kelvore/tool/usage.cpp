#include "kelvore/tool/usage.h"

#include "kelvore/tool/option_letters.h"

namespace kelvore {
namespace {

// "[t] [s]": the option letters as usage lines show them.
std::string LettersUsage() {
  std::string usage;
  for (const OptionLetter& option : kOptionLetters) {
    usage.append(usage.empty() ? "[" : " [").append(option.letter).append("]");
  }
  return usage;
}

// The forms of the command line: a rebuild, one into the loaders' folders, then a report.
// Options may stand anywhere before `--`; the usage shows them first, where they always work.
std::string FormsUsage() {
  return "Usage: kelvore [--ciso] [-o OUTPUT] [--no-verify] [--] IMAGE... f|g " + LettersUsage() +
         "\n"
         "       kelvore --games FOLDER [--ciso] [--no-verify] [--] IMAGE... f|g " +
         LettersUsage() +
         "\n"
         "       kelvore [--dat FILE] [--info] [--hash] [--] IMAGE...\n";
}

}  // namespace

std::string HelpText() {
  return std::string(kVersionText) +
         ": rebuilds a wiped GameCube disc image (.gcm) into a full-size one,\n"
         "and reports what a disc is and the checksums of an image.\n"
         "\n" +
         FormsUsage() +
         "       kelvore --help | --version\n"
         "\n"
         "  IMAGE...     the images to rebuild or report on, only read, never changed; a\n"
         "               folder stands for its .gcm, .iso and .ciso files (write ./f for\n"
         "               an image named f)\n"
         "  f            a standard image of 1,459,978,240 bytes\n"
         "  g            a 3 GB image of 3,221,225,472 bytes with the files at its end\n" +
         OptionLettersHelp() +
         "  --ciso       write a CISO file, which leaves out the blocks that hold only\n"
         "               zeros, for loaders and emulators (default: NAME.rebuilt.ciso)\n"
         "  -o OUTPUT    where to write the new image (default: NAME.rebuilt.gcm beside\n"
         "               IMAGE), or with several images the folder for them; an\n"
         "               existing file is never replaced\n"
         "  --games FOLDER\n"
         "               write each image as FOLDER/<Title> [<ID6>]/game.iso, the second\n"
         "               disc of a game as disc2.iso beside it (game.ciso and disc2.ciso\n"
         "               with --ciso), the folders USB and SD card loaders read\n"
         "  --no-verify  do not read the new image back to compare it with the source\n"
         "  --info       report what the disc is and how it would rebuild, from its system\n"
         "               area and file table alone, writing nothing; what IMAGE named\n"
         "               alone gets\n"
         "  --hash       the CRC32, MD5 and SHA-1 of the whole image, as dump lists give\n"
         "               them, writing nothing\n"
         "  --dat FILE   check each image against the dump list FILE (a Logiqx .dat,\n"
         "               unzipped): listed, identified but not the listed dump, or not\n"
         "               in the list\n"
         "  --           every word after it is IMAGE, f, g or a letter, even one that\n"
         "               starts with '-'; options stand before it\n"
         "\n"
         "The new image is written as OUTPUT.part and saved to the disk as it goes. Then,\n"
         "unless --no-verify is given, it is read back from the disk itself, not from the\n"
         "system's memory, and every byte is compared with the source. Where kelvore\n"
         "cannot make sure of that (some file systems answer from a cache all the same),\n"
         "it says the read-back is best effort. Only then does the image take its final\n"
         "name.\n"
         "\n"
         "A CISO file takes about the space of the data, not of the disc, and keeps every\n"
         "file where the new image has it, so t and s hold there too. For a loader on an\n"
         "SD card or USB drive:\n"
         "  kelvore \"Disc One.gcm\" f s --ciso    writes Disc One.rebuilt.ciso\n"
         "Some loaders refuse images larger than a full disc, which g makes. --info,\n"
         "--hash and a rebuild read a CISO file as the whole image it stands for.\n"
         "\n"
         "Several images are done one after another, each with its own checks and\n"
         "verification; one that fails leaves nothing behind and does not stop the\n"
         "others. A summary at the end says what became of each and which form two-disc\n"
         "sets. On Windows kelvore expands * and ? in IMAGE itself. For example:\n"
         "  kelvore /games/wiped f s -o /games/rebuilt\n"
         "  kelvore --games /media/sd/games \"Disc 1.gcm\" \"Disc 2.gcm\" f s --ciso\n"
         "\n"
         "Games that stream music from the disc may freeze when a streaming audio file\n"
         "does not start on 32 KiB: before such a rebuild kelvore warns, and s or t\n"
         "places those files on 32 KiB.\n"
         "\n"
         "A report looks like this:\n"
         "  Disc report for /games/Disc One.gcm\n"
         "    Game code:       GKVE\n"
         "    Maker:           01\n"
         "    Title:           Kelvore Test Disc\n"
         "    Disc:            1\n"
         "    Revision:        0\n"
         "    Region:          USA (agrees with the game code's E)\n"
         "    Audio streaming: on, stream buffer size 10\n"
         "    Size:            1,234,567,890 bytes: wiped, 225,410,350 bytes short of a full disc\n"
         "    Contents:        600 files in 12 folders, 1,212,345,678 bytes of file data\n"
         "    Fits f:          yes; with t: yes\n"
         "    Fits g:          yes; with t: yes\n"
         "  Streaming audio files:\n"
         "    /audio/bgm01.adp  on 32 KiB\n"
         "    /audio/voice/v01.dtk  not on 32 KiB (at 0x2F4C8)\n"
         "\n"
         "--dat says of each image whether it is listed (an entry has its size, CRC32, MD5\n"
         "and SHA-1; a CRC32 alone confirms nothing), identified but not the listed dump\n"
         "(an entry's serial and version name its disc, but its bytes differ, as they\n"
         "always do after a rebuild), or not in the list. For example:\n"
         "  kelvore --dat GameCube.dat /games\n"
         "  ...\n"
         "  Summary of 3 images: 1 listed, 1 identified but not the listed dump, 1 not in\n"
         "  the list.\n"
         "    1. /games/Disc One.gcm: listed: \"Kelvore Test Disc (USA)\"\n"
         "    2. /games/Disc One.rebuilt.gcm: identified but not the listed dump:\n"
         "       \"Kelvore Test Disc (USA)\"\n"
         "    3. /games/Other Game.gcm: not in the list\n"
         "\n"
         "Exit codes: 0 done (with --dat: listed); 1 command line not understood, or the\n"
         "dump list unusable; 2 invalid image, or its data does not fit; 3 read or write\n"
         "failure, output already there, verification mismatch, source changed meanwhile,\n"
         "or interrupted; 4 not the listed dump, or not in the list. No unfinished output\n"
         "is left behind. Over several images the worst counts: 3, then 2, 4, 0.";
}

std::string ShortUsage() { return FormsUsage() + "Run kelvore --help for details."; }

}  // namespace kelvore
