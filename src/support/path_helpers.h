#pragma once

#include <string>

#include "platform/path_exists.h"
#include "platform/short_path.h"

namespace corvane::mFunctions {

// The short (8.3) form of `path`, or empty text when the system cannot give one: the path
// does not exist, names a character the ANSI code page cannot hold, the short form would
// not fit the buffer, or either conversion between the program's text and the code page
// fails.
std::string GetShortPath(const std::string& path,
                         platform::ShortPathApi& api = platform::SystemShortPathApi());

// Whether a file or folder of that path exists; any failure counts as "no".
bool FileExists(const std::string& path,
                platform::PathExistsApi& api = platform::SystemPathExistsApi());

// The text after the last backslash: the whole path without one, empty text after a
// trailing one. A forward slash is not a separator.
std::string FileNameFromPath(const std::string& path);

}  // namespace corvane::mFunctions
