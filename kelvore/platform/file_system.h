#pragma once

#include <memory>
#include <string>

#include "kelvore/tool/output_file.h"
#include "kelvore/tool/source_image.h"

namespace kelvore {

// Opens an image for reading only, letting others read it too but not write it (on POSIX
// nothing keeps others from writing; SourceImage::ChangedSinceOpened tells). Throws IoError,
// which names a folder, a device or a file that another program keeps others from reading
// as such.
std::unique_ptr<SourceImage> OpenSourceImage(const std::string& path);

// Creates a new, empty output file, marked sparse where the file system needs that. Fails with
// IoError when anything already exists under `path`.
std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path);

bool PathExists(const std::string& path);

}  // namespace kelvore
