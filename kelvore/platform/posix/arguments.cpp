#include "kelvore/platform/arguments.h"

#include <unistd.h>

#include <cerrno>

namespace kelvore {
namespace {

std::string WorkingFolder() {
  std::string folder(256, '\0');
  while (getcwd(folder.data(), folder.size()) == nullptr) {
    if (errno != ERANGE) return {};
    folder.resize(folder.size() * 2);
  }
  folder.resize(folder.find('\0'));
  return folder;
}

}  // namespace

// The shell has expanded them: a * or ? that is left is part of a name.
const bool kExpandsWildcards = false;

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

// The path is never shortened by its text: "link/.." is the folder above where the link
// leads, which only the system knows.
std::string ResolvePath(const std::string& path) {
  if (path.starts_with('/')) return path;
  const std::string folder = WorkingFolder();
  if (folder.empty()) return path;
  return folder + (folder.ends_with('/') ? "" : "/") + path;
}

}  // namespace kelvore
