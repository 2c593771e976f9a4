#pragma once

#include <string>

namespace kelvore {

// "<folder>/<stem>.rebuilt.gcm" beside the image, the stem being the image's name without its
// last extension.
std::string DefaultOutputPath(const std::string& image_path);

// The name the image is written under until it is complete.
std::string PartPathFor(const std::string& output_path);

// Messages about the files, the same on every system.
std::string OutputExistsMessage(const std::string& output_path);
std::string PartExistsMessage(const std::string& part_path);
// "PATH is a folder, not a disc image file.", for `kind` "a folder".
std::string NotAnImageFileMessage(const std::string& path, const std::string& kind);

}  // namespace kelvore
