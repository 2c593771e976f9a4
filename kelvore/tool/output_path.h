#pragma once

#include <string>
#include <string_view>

namespace kelvore {

// "<folder>/<stem>.rebuilt.gcm" beside the image, the stem being the image's name without its
// last extension, and `extension` in place of ".gcm".
std::string DefaultOutputPath(const std::string& image_path, std::string_view extension = ".gcm");

// The last part of `path`: its name, without the folder.
std::string NameInPath(const std::string& path);

// `name` inside `folder`, with the system's separator between them unless `folder` ends in
// one.
std::string PathInFolder(const std::string& folder, const std::string& name);

// The name the image is written under until it is complete.
std::string PartPathFor(const std::string& output_path);

// Messages about the files, the same on every system; paths in them are made printable.
std::string OutputExistsMessage(const std::string& output_path);
std::string PartExistsMessage(const std::string& part_path);
// The output, or with `unfinished` its .part name, is the source image by another name.
std::string OutputIsSourceMessage(const std::string& path, bool unfinished);
// The image took its final name, but its .part name stayed for `reason`.
std::string LeftoverPartMessage(const std::string& final_path, const std::string& part_path,
                                const std::string& reason);
// "PATH is a folder, not a disc image file.", for `kind` "a folder".
std::string NotAnImageFileMessage(const std::string& path, const std::string& kind);

}  // namespace kelvore
