#include "platform/short_path.h"

#include <windows.h>

namespace platform {
namespace {

class Win32ShortPathApi final : public ShortPathApi {
 public:
  std::uint32_t GetShortPathNameA(const char* longPath, char* buffer,
                                  std::uint32_t bufferSize) override {
    return ::GetShortPathNameA(longPath, buffer, bufferSize);
  }
};

}  // namespace

ShortPathApi& SystemShortPathApi() {
  static Win32ShortPathApi api;
  return api;
}

}  // namespace platform
