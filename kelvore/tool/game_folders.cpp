#include "kelvore/tool/game_folders.h"

#include <algorithm>
#include <cstddef>

#include "kelvore/base/errors.h"
#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_encoding.h"

namespace kelvore {
namespace {

// FAT32's and exFAT's limit is 255 UTF-16 units for a whole name; the title keeps to 64, so
// that the name stays readable in a loader's list and well within every path limit.
constexpr std::size_t kTitleUtf16Units = 64;
constexpr std::string_view kForbiddenInNames = "\\/:*?\"<>|";

bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The longest start of `text` that holds at most `units` UTF-16 units, cut between
// characters. Disc text decodes to characters of the Basic Multilingual Plane only, each one
// UTF-16 unit and one UTF-8 sequence.
std::string_view WithinUtf16Units(std::string_view text, std::size_t units) {
  std::size_t end = 0;
  for (; end < text.size() && units > 0; --units) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return text.substr(0, end);
}

std::string_view WithoutTrailingDotsAndBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.remove_suffix(1);
  return text;
}

// "[<ID6>]", built by appending: GCC 12 at -O3 takes a literal put before a temporary for an
// overlapping copy.
std::string Id6Tag(const DiscIdentity& disc) {
  std::string tag = "[";
  tag += FolderId6(disc.id6);
  tag += ']';
  return tag;
}

}  // namespace

DiscIdentity IdentityOf(const Disc& disc) {
  return {
      .id6 = disc.game_code + disc.maker, .title = disc.game_name, .disc_number = disc.disc_number};
}

std::string ShownTitle(const DiscIdentity& disc) {
  return ShownText(disc.title, EncodingOfGameCode(disc.id6));
}

std::string FolderId6(std::string_view id6) {
  std::string safe(id6);
  std::replace_if(
      safe.begin(), safe.end(), [](char c) { return !IsAsciiLetterOrDigit(c); }, '_');
  return safe;
}

std::string FolderTitle(const DiscIdentity& disc) {
  std::string title = TextWithoutControls(disc.title, EncodingOfGameCode(disc.id6));
  std::replace_if(
      title.begin(), title.end(),
      [](char c) { return kForbiddenInNames.find(c) != std::string_view::npos; }, '_');
  return std::string(WithoutTrailingDotsAndBlanks(WithinUtf16Units(title, kTitleUtf16Units)));
}

std::string GameFolderName(const DiscIdentity& disc) {
  std::string name = FolderTitle(disc);
  if (!name.empty()) name += ' ';
  name += Id6Tag(disc);
  return name;
}

std::optional<std::string> FindGameFolder(const std::vector<FolderEntry>& entries,
                                          const DiscIdentity& disc) {
  const std::string tag = Id6Tag(disc);
  std::optional<std::string> found;
  for (const FolderEntry& entry : entries) {
    const std::string& name = entry.name;
    const bool of_the_game =
        entry.is_folder && name.ends_with(tag) &&
        (name.size() == tag.size() || name[name.size() - tag.size() - 1] == ' ');
    if (of_the_game && (!found || entry.name < *found)) found = entry.name;
  }
  return found;
}

std::string GameFileName(const DiscIdentity& disc, bool ciso) {
  const std::string extension = ciso ? ".ciso" : ".iso";
  if (disc.disc_number == 0) return "game" + extension;
  if (disc.disc_number == 1) return "disc2" + extension;
  throw ImageError(Joined({"This is disc ", std::to_string(disc.disc_number + 1),
                           " of its game (header byte 0x06 is ", std::to_string(disc.disc_number),
                           "), and the loaders' folders hold a game's first two discs only, ",
                           "as game", extension, " and disc2", extension, "."}));
}

}  // namespace kelvore
