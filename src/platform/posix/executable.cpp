#include "platform/executable.h"

#include <filesystem>

namespace platform {
namespace {

class PosixExecutable final : public Executable {
 public:
  std::string Name() const override { return Path().stem().string(); }
  std::string Folder() const override { return Path().parent_path().string(); }

 private:
  static std::filesystem::path Path() { return std::filesystem::read_symlink("/proc/self/exe"); }
};

}  // namespace

Executable& SystemExecutable() {
  static PosixExecutable executable;
  return executable;
}

}  // namespace platform
