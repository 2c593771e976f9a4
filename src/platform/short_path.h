#pragma once

#include <cstdint>

namespace platform {

// kernel32's GetShortPathNameA: the short (8.3) form of an ANSI path.
class ShortPathApi {
 public:
  virtual ~ShortPathApi() = default;
  // Writes the short form into `buffer` (of `bufferSize` bytes, NUL-terminated) and returns
  // its length without the NUL; returns the size needed when the buffer is too small, and
  // 0 on failure.
  virtual std::uint32_t GetShortPathNameA(const char* longPath, char* buffer,
                                          std::uint32_t bufferSize) = 0;
};

ShortPathApi& SystemShortPathApi();

}  // namespace platform
