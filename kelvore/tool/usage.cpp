#include "kelvore/tool/usage.h"

namespace kelvore {

std::string HelpText() {
  return std::string(kVersionText) +
         ": rebuilds a wiped GameCube disc image (.gcm) into a full-size one.\n"
         "\n"
         "Usage: kelvore [--] IMAGE MODE [t] [s] [-o OUTPUT] [--no-verify]\n"
         "       kelvore --help | --version\n"
         "\n"
         "  IMAGE        the image to rebuild; it is only read, never changed\n"
         "  MODE         f  a standard image of 1,459,978,240 bytes\n"
         "               g  a 3 GB image of 3,221,225,472 bytes with the files at its end\n"
         "  t            start every file on a 32 KiB boundary\n"
         "  s            start streaming audio files (.adp, .dtk) on 32 KiB and keep the\n"
         "               rest of their last 32 KiB block empty\n"
         "  -o OUTPUT    where to write the new image (default: NAME.rebuilt.gcm beside\n"
         "               IMAGE); an existing file is never replaced\n"
         "  --no-verify  do not read the new image back to compare it with the source\n"
         "  --           every word after it is IMAGE, MODE or a letter, even one that\n"
         "               starts with '-'\n"
         "\n"
         "The new image is written as OUTPUT.part and saved to the disk as it goes. Then,\n"
         "unless --no-verify is given, it is read back from the disk itself, not from the\n"
         "system's memory, and every byte is compared with the source; where the file\n"
         "system cannot read around its cache (tmpfs), the cache is dropped first and the\n"
         "read-back is best effort. Only then does it take its final name.\n"
         "\n"
         "Exit codes: 0 done; 1 command line not understood; 2 invalid image, or its data\n"
         "does not fit; 3 read or write failure, output already there, verification\n"
         "mismatch, source changed meanwhile, or interrupted. No unfinished output is left\n"
         "behind.";
}

std::string ShortUsage() {
  return "Usage: kelvore [--] IMAGE f|g [t] [s] [-o OUTPUT] [--no-verify]\n"
         "Run kelvore --help for details.";
}

}  // namespace kelvore
