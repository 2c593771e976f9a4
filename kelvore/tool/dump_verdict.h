#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelvore/disc/disc.h"
#include "kelvore/tool/checksums.h"
#include "kelvore/tool/dump_list.h"

namespace kelvore {

// What is known of one image: its bytes' size and checksums, and the disc its header names.
struct ImageFacts {
  std::uint64_t size = 0;
  ImageChecksums checksums = {};
  std::string game_code = {};    // empty where the image's header was refused
  std::uint8_t disc_number = 0;  // 0 for the first disc
  std::uint8_t revision = 0;
};

ImageFacts FactsOf(const Disc& disc, const ImageChecksums& checksums);

enum class DumpMatch {
  kListed,      // the image is a listed dump
  kIdentified,  // the list names its disc, but its bytes are not the listed dump's
  kNotListed,   // the list has neither its bytes nor its disc
};

// The check of one image against a dump list: what it found, and the lines (full sentences)
// that say it. Only a listed image counts as good (exit code 0; the rest 4).
struct DumpVerdict {
  DumpMatch match = DumpMatch::kNotListed;
  std::vector<std::string> lines;
  std::string game = {};  // the game of the first entry it names; empty when not in the list

  bool Listed() const { return match == DumpMatch::kListed; }
};

// Listed: an entry gives the image's size, every checksum it gives is the image's, and it
// gives an MD5 or SHA-1 (a CRC32 alone confirms nothing); every such entry is named.
// Identified: no entry is, but the game code, disc number and revision of the image's header
// are those of entries' serials and versions. A checksum that is the image's while another
// differs is named as no match, the CRC32 above all, which different data share easily.
DumpVerdict JudgeImage(const DumpList& list, const ImageFacts& image);

}  // namespace kelvore
