#pragma once

#include <string>
#include <vector>

#include "kelvore/tool/folder_services.h"

namespace kelvore {

// The folder operations of a run over many images, as FolderServices describes them. Links
// are followed: a link to a folder is a folder. A path may end in a separator.
bool IsFolder(const std::string& path);
std::vector<FolderEntry> ListFolder(const std::string& path);
void CreateFolder(const std::string& path);
void RemoveEmptyFolder(const std::string& path);

// The four together.
FolderServices SystemFolders();

}  // namespace kelvore
