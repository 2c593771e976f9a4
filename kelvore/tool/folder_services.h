#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kelvore {

// One entry of a folder, "." and ".." aside.
struct FolderEntry {
  std::string name;
  bool is_folder = false;
};

// The folder operations a run over many images uses; the platform layer supplies the real
// ones. Failures throw IoError, saying what failed and why.
struct FolderServices {
  std::function<bool(const std::string& path)> is_folder;
  // The folder's entries, in no particular order.
  std::function<std::vector<FolderEntry>(const std::string& path)> list;
  // Creates a folder, failing if anything exists under `path`.
  std::function<void(const std::string& path)> create;
  // Removes a folder, failing unless it is empty.
  std::function<void(const std::string& path)> remove_empty;
};

}  // namespace kelvore
