#include "kelvore/tool/dump_verdict.h"

#include <algorithm>
#include <string_view>

#include "kelvore/base/message_format.h"

namespace kelvore {
namespace {

// Which of an entry's values the image has, and which it does not; the size is always among
// them, a checksum only where the entry gives it.
struct Comparison {
  std::vector<std::string_view> equal;
  std::vector<std::string_view> different;

  bool ChecksumEqual() const {
    return std::any_of(equal.begin(), equal.end(),
                       [](std::string_view what) { return what != "size"; });
  }
};

bool Contains(const std::vector<std::string_view>& values, std::string_view what) {
  return std::find(values.begin(), values.end(), what) != values.end();
}

Comparison Compare(const DumpEntry& entry, const ImageFacts& image) {
  Comparison comparison;
  const auto compare = [&comparison](std::string_view what, bool equal) {
    (equal ? comparison.equal : comparison.different).push_back(what);
  };
  compare("size", entry.size == image.size);
  if (!entry.crc32.empty()) compare("CRC32", entry.crc32 == image.checksums.crc32);
  if (!entry.md5.empty()) compare("MD5", entry.md5 == image.checksums.md5);
  if (!entry.sha1.empty()) compare("SHA-1", entry.sha1 == image.checksums.sha1);
  return comparison;
}

// "size, CRC32 and MD5".
std::string Listing(const std::vector<std::string_view>& values) {
  std::string text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += i + 1 == values.size() ? " and " : ", ";
    text += values[i];
  }
  return text;
}

// Built by appending: GCC 12 takes a sum that starts with a literal for an overlapping copy.
std::string Named(const DumpEntry& entry) {
  std::string named(1, '"');
  named += Printable(entry.game);
  named += "\" (file \"";
  named += Printable(entry.file);
  named += "\")";
  return named;
}

std::string DiscOf(const ImageFacts& image) {
  return "game code " + Printable(image.game_code) + ", disc " +
         std::to_string(image.disc_number + 1) + " and revision " + std::to_string(image.revision);
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
  DumpVerdict verdict{.match = DumpMatch::kListed, .lines = {}};
  if (listed.size() == 1) {
    verdict.lines.push_back("Listed: this image is the dump the list gives for " +
                            Named(*listed[0]) + ": its " +
                            Listing(Compare(*listed[0], image).equal) + " are the listed ones.");
    return verdict;
  }
  verdict.lines.push_back("Listed: this image is the dump the list gives for " +
                          std::to_string(listed.size()) +
                          " entries, which share its size and checksums:");
  AddEntryLines(verdict.lines, listed);
  return verdict;
}

DumpVerdict IdentifiedVerdict(const std::vector<const DumpEntry*>& identified,
                              const ImageFacts& image) {
  DumpVerdict verdict{.match = DumpMatch::kIdentified, .lines = {}};
  const std::string header = "Identified, not the listed dump: the header's " + DiscOf(image);
  if (identified.size() == 1) {
    const DumpEntry& entry = *identified[0];
    verdict.lines.push_back(header + " are those of " + Named(entry) +
                            ", but the image's bytes are not the listed dump's.");
    verdict.lines.push_back(entry.size == image.size
                                ? "It has the listed size, " + ByteCount(entry.size) +
                                      ", but other checksums."
                                : "It has " + ByteCount(image.size) +
                                      ", where the listed dump has " + ByteCount(entry.size) + ".");
  } else {
    verdict.lines.push_back(header + " are those of " + std::to_string(identified.size()) +
                            " entries, but the image's bytes are none of their listed dumps:");
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
  if (list.HasSerials()) {
    verdict.lines.push_back(
        "Not in the list: no entry has this image's size and checksums, nor its header's " +
        DiscOf(image) + ".");
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
    if (comparison.different.empty() && !entry.HasStrongChecksum()) {
      verdict.lines.push_back("Not confirmed: " + Named(entry) +
                              " has this image's size and CRC32, but the list gives no MD5 or "
                              "SHA-1 for it, and a CRC32 alone cannot confirm a dump.");
    } else if (!comparison.different.empty()) {
      std::string line = "Not a match: the image's " + Listing(comparison.equal) +
                         (comparison.equal.size() == 1 ? " equals the one" : " equal those") +
                         " listed for " + Named(entry) + ", but its " +
                         Listing(comparison.different) +
                         (comparison.different.size() == 1 ? " differs." : " differ.");
      if (Contains(comparison.equal, "CRC32") &&
          (Contains(comparison.different, "MD5") || Contains(comparison.different, "SHA-1"))) {
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
    if (entry.HasStrongChecksum() && Compare(entry, image).different.empty()) {
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
