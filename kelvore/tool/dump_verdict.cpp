#include "kelvore/tool/dump_verdict.h"

#include <algorithm>
#include <bit>
#include <string_view>

#include "kelvore/base/message_format.h"

namespace kelvore {
namespace {

// The values an entry may give, as bits of a set, and their names in messages.
enum Value : unsigned { kSize = 1, kCrc32 = 2, kMd5 = 4, kSha1 = 8 };
constexpr std::string_view kValueNames[] = {"size", "CRC32", "MD5", "SHA-1"};

// Which of an entry's values the image has, and which it does not; the size is always among
// them, a checksum only where the entry gives it.
struct Comparison {
  unsigned equal = 0;
  unsigned different = 0;

  bool ChecksumEqual() const { return (equal & ~kSize) != 0; }
};

Comparison Compare(const DumpEntry& entry, const ImageFacts& image) {
  Comparison comparison;
  const auto compare = [&comparison](Value value, bool equal) {
    (equal ? comparison.equal : comparison.different) |= value;
  };
  compare(kSize, entry.size == image.size);
  if (!entry.crc32.empty()) compare(kCrc32, entry.crc32 == image.checksums.crc32);
  if (!entry.md5.empty()) compare(kMd5, entry.md5 == image.checksums.md5);
  if (!entry.sha1.empty()) compare(kSha1, entry.sha1 == image.checksums.sha1);
  return comparison;
}

// "size, CRC32 and MD5".
std::string Listing(unsigned values) {
  std::string text;
  int left = std::popcount(values);
  for (unsigned i = 0; i < 4; ++i) {
    if ((values & (1u << i)) == 0) continue;
    text += kValueNames[i];
    --left;
    if (left > 0) text += left == 1 ? " and " : ", ";
  }
  return text;
}

std::string Named(const DumpEntry& entry) {
  return Joined({"\"", Printable(entry.game), "\" (file \"", Printable(entry.file), "\")"});
}

std::string DiscOf(const ImageFacts& image) {
  return Joined({"game code ", Printable(image.game_code), ", disc ",
                 std::to_string(image.disc_number + 1), " and revision ",
                 std::to_string(image.revision)});
}

bool NamesDisc(const DumpEntry& entry, const ImageFacts& image) {
  return entry.revision == image.revision &&
         std::any_of(entry.serials.begin(), entry.serials.end(), [&image](const DumpSerial& s) {
           return s.game_code == image.game_code && s.disc_number == image.disc_number;
         });
}

void AddEntryLines(std::vector<std::string>& lines, const std::vector<const DumpEntry*>& entries) {
  for (const DumpEntry* entry : entries) lines.push_back("  " + Named(*entry));
}

DumpVerdict ListedVerdict(const std::vector<const DumpEntry*>& listed, const ImageFacts& image) {
  DumpVerdict verdict{.match = DumpMatch::kListed, .lines = {}, .game = listed[0]->game};
  constexpr std::string_view kListed = "Listed: this image is the dump the list gives for ";
  if (listed.size() == 1) {
    verdict.lines.push_back(
        Joined({kListed, Named(*listed[0]), ": its ", Listing(Compare(*listed[0], image).equal),
                " are the listed ones."}));
    return verdict;
  }
  verdict.lines.push_back(Joined(
      {kListed, std::to_string(listed.size()), " entries, which share its size and checksums:"}));
  AddEntryLines(verdict.lines, listed);
  return verdict;
}

DumpVerdict IdentifiedVerdict(const std::vector<const DumpEntry*>& identified,
                              const ImageFacts& image) {
  DumpVerdict verdict{.match = DumpMatch::kIdentified, .lines = {}, .game = identified[0]->game};
  const std::string header =
      Joined({"Identified, not the listed dump: the header's ", DiscOf(image), " are those of "});
  if (identified.size() == 1) {
    const DumpEntry& entry = *identified[0];
    verdict.lines.push_back(
        Joined({header, Named(entry), ", but the image's bytes are not the listed dump's."}));
    verdict.lines.push_back(
        entry.size == image.size
            ? Joined({"It has the listed size, ", ByteCount(entry.size), ", but other checksums."})
            : Joined({"It has ", ByteCount(image.size), ", where the listed dump has ",
                      ByteCount(entry.size), "."}));
  } else {
    verdict.lines.push_back(Joined({header, std::to_string(identified.size()),
                                    " entries, but the image's bytes are none of their listed "
                                    "dumps:"}));
    AddEntryLines(verdict.lines, identified);
  }
  verdict.lines.push_back(
      "That is expected of a rebuilt or wiped image, and of any modified one: rebuilding moves "
      "the files and wiping replaces the filler data, so the checksums differ even where every "
      "game file is intact. Only an unmodified full-size image can be the listed dump.");
  return verdict;
}

DumpVerdict NotListedVerdict(const DumpList& list, const ImageFacts& image) {
  DumpVerdict verdict{.match = DumpMatch::kNotListed, .lines = {}};
  if (image.game_code.empty()) {
    verdict.lines.push_back(
        "Not in the list: no entry has this image's size and checksums, and its header, refused "
        "above, cannot identify it.");
  } else if (list.HasSerials()) {
    verdict.lines.push_back(
        Joined({"Not in the list: no entry has this image's size and checksums, nor its header's ",
                DiscOf(image), "."}));
  } else {
    verdict.lines.push_back(
        "Not in the list: no entry has this image's size and checksums. The list gives no "
        "serials, so the image cannot be identified by its header.");
  }
  return verdict;
}

// What a near miss must not be taken for: checksums of an entry that are the image's while
// others are not, or an entry with only a CRC32 to compare.
void AddNearMisses(DumpVerdict& verdict, const DumpList& list, const ImageFacts& image) {
  for (const DumpEntry& entry : list.entries) {
    const Comparison comparison = Compare(entry, image);
    if (!comparison.ChecksumEqual()) continue;
    if (comparison.different == 0 && !entry.HasStrongChecksum()) {
      verdict.lines.push_back(Joined({"Not confirmed: ", Named(entry),
                                      " has this image's size and CRC32, but the list gives no "
                                      "MD5 or SHA-1 for it, and a CRC32 alone cannot confirm a "
                                      "dump."}));
    } else if (comparison.different != 0) {
      std::string line =
          Joined({"Not a match: the image's ", Listing(comparison.equal),
                  std::popcount(comparison.equal) == 1 ? " equals the one" : " equal those",
                  " listed for ", Named(entry), ", but its ", Listing(comparison.different),
                  std::popcount(comparison.different) == 1 ? " differs." : " differ."});
      if ((comparison.equal & kCrc32) != 0 && (comparison.different & (kMd5 | kSha1)) != 0) {
        line += " Different data can share a CRC32; only an MD5 or SHA-1 tells the listed dump.";
      }
      verdict.lines.push_back(std::move(line));
    }
  }
}

}  // namespace

ImageFacts FactsOf(const Disc& disc, const ImageChecksums& checksums) {
  return {.size = disc.image_size,
          .checksums = checksums,
          .game_code = disc.game_code,
          .disc_number = disc.disc_number,
          .revision = disc.revision};
}

DumpVerdict JudgeImage(const DumpList& list, const ImageFacts& image) {
  std::vector<const DumpEntry*> listed;
  std::vector<const DumpEntry*> identified;
  for (const DumpEntry& entry : list.entries) {
    if (entry.HasStrongChecksum() && Compare(entry, image).different == 0) {
      listed.push_back(&entry);
    } else if (NamesDisc(entry, image)) {
      identified.push_back(&entry);
    }
  }
  if (!listed.empty()) return ListedVerdict(listed, image);
  DumpVerdict verdict =
      identified.empty() ? NotListedVerdict(list, image) : IdentifiedVerdict(identified, image);
  AddNearMisses(verdict, list, image);
  return verdict;
}

}  // namespace kelvore
