#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kelvore/base/input_stream.h"

namespace kelvore {

// What a serial in a dump list says about a disc: "DL-DOL-GW7E-USA" is the game code GW7E on
// its only disc; "DL-DOL-GU2D-1-NOE" the second disc (disc number 1) of a two-disc game.
struct DumpSerial {
  std::string game_code;
  std::uint8_t disc_number = 0;

  bool operator==(const DumpSerial&) const = default;
};

// One listed dump: a file of a game, with what identifies its bytes. Checksums are kept in
// lower-case hexadecimal, as ImageChecksums gives them, and are empty where the list gives
// none.
struct DumpEntry {
  std::string game;  // the game's name in the list, "Game (USA) (Rev 1)"
  std::string file;  // the file's name, "Game (USA) (Rev 1).iso"
  std::uint64_t size = 0;
  std::string crc32;
  std::string md5;
  std::string sha1;
  std::vector<DumpSerial> serials;  // empty where the list gives none
  std::uint8_t revision = 0;

  // Whether the entry can confirm a dump: a CRC32 alone is shared too easily.
  bool HasStrongChecksum() const { return !md5.empty() || !sha1.empty(); }
};

// A GameCube dump list, as the preservation projects publish them (Logiqx XML "DAT" files),
// holding only what matching images needs.
struct DumpList {
  std::string name;  // the header's name, "Nintendo - GameCube"
  std::vector<DumpEntry> entries;

  bool HasSerials() const;
};

// Reads the dump list in the file at `path`. Throws DumpListError when the file is no usable
// GameCube dump list (a zip archive, not well-formed XML, not a Logiqx list, a list for
// another system, or one with nothing to match), saying what is wrong and where; IoError when
// it cannot be read.
DumpList LoadDumpList(const std::string& path);

// The same, from `input`; `shown_name` names it in messages.
DumpList ReadDumpList(std::unique_ptr<InputStream> input, const std::string& shown_name);

// The disc a serial names: the four-character game code after "DOL", and the disc number
// that follows it on a two-disc game. Nothing for a serial of another form.
std::optional<DumpSerial> ParseSerial(std::string_view serial);

// The revision of a listed dump: its version field ("Rev 1", or a bare number), else the
// "(Rev N)" in its game's name, else 0.
std::uint8_t RevisionOf(std::string_view version, std::string_view game_name);

}  // namespace kelvore
