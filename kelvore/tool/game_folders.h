#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kelvore/disc/disc.h"
#include "kelvore/tool/folder_services.h"

// The layout the loaders read a collection in: FOLDER/<Title> [<ID6>]/game.iso for a game's
// first disc, disc2.iso beside it for its second.
namespace kelvore {

// What a disc's header says it is: enough to place it in the loaders' folders and to tell
// which discs form a set.
struct DiscIdentity {
  std::string id6;               // header bytes 0 to 5 as stored: the game code, then the maker
  std::string title;             // as stored, up to its NUL
  std::uint8_t disc_number = 0;  // 0 for a game's first disc

  bool operator==(const DiscIdentity&) const = default;
};

DiscIdentity IdentityOf(const Disc& disc);

// The title as --info shows it, in UTF-8.
std::string ShownTitle(const DiscIdentity& disc);

// The ID6 as a folder name holds it: every byte but an ASCII letter or digit becomes '_'.
std::string FolderId6(std::string_view id6);

// The title made a name that FAT32 and exFAT take: decoded as --info decodes it, control
// characters left out, \ / : * ? " < > | replaced by '_', at most 64 UTF-16 units, and no
// dot or blank at its end.
std::string FolderTitle(const DiscIdentity& disc);

// "<Title> [<ID6>]", or "[<ID6>]" for a title that comes out empty.
std::string GameFolderName(const DiscIdentity& disc);

// The first folder, in the order of their names, that holds the game of `disc` already: one
// whose name ends in " [<ID6>]", or is "[<ID6>]", whatever its title. The discs of a set
// then meet there even when their titles differ.
std::optional<std::string> FindGameFolder(const std::vector<FolderEntry>& entries,
                                          const DiscIdentity& disc);

// "game.iso" for a first disc, "disc2.iso" for a second; ".ciso" in place of ".iso" for a
// CISO file. Throws ImageError for a later disc, which the layout has no name for.
std::string GameFileName(const DiscIdentity& disc, bool ciso);

}  // namespace kelvore
