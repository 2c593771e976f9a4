#pragma once

namespace platform {

// shlwapi's PathFileExistsA: whether a file or folder of that ANSI path exists.
class PathExistsApi {
 public:
  virtual ~PathExistsApi() = default;
  virtual bool PathFileExistsA(const char* path) = 0;
};

PathExistsApi& SystemPathExistsApi();

}  // namespace platform
