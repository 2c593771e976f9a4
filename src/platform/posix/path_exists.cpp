#include "platform/path_exists.h"

#include <sys/stat.h>

namespace platform {
namespace {

class PosixPathExistsApi final : public PathExistsApi {
 public:
  bool PathFileExistsA(const char* path) override {
    struct stat status {};
    return ::stat(path, &status) == 0;
  }
};

}  // namespace

PathExistsApi& SystemPathExistsApi() {
  static PosixPathExistsApi api;
  return api;
}

}  // namespace platform
