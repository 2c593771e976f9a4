#pragma once

#include <cstdint>
#include <string>

#include "kelvore/disc/file_system_table.h"

namespace kelvore {

// A checked source image: every structure it names lies within the image.
struct Disc {
  std::string game_code;  // its 4 bytes as stored, possibly unprintable
  std::string maker;      // its 2 bytes as stored
  std::string game_name;
  std::uint8_t disc_number = 0;  // 0 for the first disc
  std::uint8_t revision = 0;
  bool audio_streaming = false;
  std::uint8_t stream_buffer_size = 0;
  std::uint32_t region = 0;  // the country code of the disc header information

  std::uint64_t image_size = 0;
  std::uint64_t apploader_end = 0;  // bytes up to here form the system area kept as it is
  std::uint32_t dol_offset = 0;
  std::uint64_t dol_length = 0;
  std::uint32_t fst_offset = 0;
  FileSystemTable fst;
};

}  // namespace kelvore
