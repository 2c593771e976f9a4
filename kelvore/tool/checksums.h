#pragma once

#include <string>

#include "kelvore/disc/byte_source.h"
#include "kelvore/tool/piece_chunks.h"

namespace kelvore {

// An image's checksums in lower-case hexadecimal, as dump databases list them.
struct ImageChecksums {
  std::string crc32;  // 8 digits
  std::string md5;    // 32 digits
  std::string sha1;   // 40 digits

  bool operator==(const ImageChecksums&) const = default;
};

// Reads all of `source` once, in chunks of kChunkSize, and computes its CRC32, MD5 and SHA-1;
// MD5 on a second thread. Before each chunk it stops with IoError("Interrupted.") if the flag
// is set; after each it reports the bytes done, on the calling thread. Reading failures throw
// IoError.
ImageChecksums ComputeChecksums(const ByteSource& source, const TransferControl& control);

}  // namespace kelvore
