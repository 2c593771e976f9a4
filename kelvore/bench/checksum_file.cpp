// Prints the CRC32, MD5 and SHA-1 of a file, computed by the code the tool's checksum option
// runs, for the checksum benchmark (checksum_bench.sh).
// Usage: kelvore_checksum_file FILE

#include <cstdint>
#include <cstdio>

#include "kelvore/disc/errors.h"
#include "kelvore/platform/file_system.h"
#include "kelvore/tool/checksums.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: kelvore_checksum_file FILE\n");
    return 1;
  }
  try {
    const auto source = kelvore::OpenSourceImage(argv[1]);
    const kelvore::ImageChecksums checksums =
        kelvore::ComputeChecksums(*source, {kelvore::NeverInterrupted(), [](std::uint64_t) {}});
    std::printf("CRC32 %s\nMD5   %s\nSHA-1 %s\n", checksums.crc32.c_str(), checksums.md5.c_str(),
                checksums.sha1.c_str());
  } catch (const kelvore::IoError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 3;
  }
  return 0;
}
