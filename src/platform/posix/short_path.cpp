#include "platform/short_path.h"

#include <sys/stat.h>

#include <cstring>

namespace platform {
namespace {

// POSIX file systems keep no short names: an existing path is its own short form.
class PosixShortPathApi final : public ShortPathApi {
 public:
  std::uint32_t GetShortPathNameA(const char* longPath, char* buffer,
                                  std::uint32_t bufferSize) override {
    struct stat status {};
    if (::stat(longPath, &status) != 0) return 0;
    const auto length = static_cast<std::uint32_t>(std::strlen(longPath));
    if (length >= bufferSize) return length + 1;
    std::memcpy(buffer, longPath, length + 1);
    return length;
  }
};

}  // namespace

ShortPathApi& SystemShortPathApi() {
  static PosixShortPathApi api;
  return api;
}

}  // namespace platform
