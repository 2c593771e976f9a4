#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A directory lookup: the first entry that matches a name, wildcards allowed.
class DirectorySearch {
 public:
  virtual ~DirectorySearch() = default;
  // The file name (without folder) of the first entry matching `pattern` whose attributes
  // fit `attributeMask` (see MatchesAttributeMask), or empty text when none does. Raises
  // corvane::Error when the search itself fails (a malformed name, for instance).
  virtual std::string FirstMatch(const std::string& pattern, std::uint32_t attributeMask) = 0;
};

DirectorySearch& SystemDirectorySearch();

}  // namespace platform
