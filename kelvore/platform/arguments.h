#pragma once

#include <string>
#include <vector>

namespace kelvore {

// Whether kelvore expands * and ? in IMAGE words itself: on Windows, where no shell does.
extern const bool kExpandsWildcards;

// The program's arguments as UTF-8, without its own name.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The absolute form of `path`: on POSIX the working folder put in front of a relative path,
// nothing else; on Windows the system's full form, with its names in their long form, as
// Corvane passes 8.3 names. A path that cannot be resolved comes back as it is.
std::string ResolvePath(const std::string& path);

}  // namespace kelvore
