#include "platform/path_exists.h"

#include <shlwapi.h>
#include <windows.h>

namespace platform {
namespace {

class Win32PathExistsApi final : public PathExistsApi {
 public:
  bool PathFileExistsA(const char* path) override { return ::PathFileExistsA(path) != FALSE; }
};

}  // namespace

PathExistsApi& SystemPathExistsApi() {
  static Win32PathExistsApi api;
  return api;
}

}  // namespace platform
