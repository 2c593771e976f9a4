#include "support/path_helpers.h"

#include "platform/ansi_code_page.h"

namespace corvane::mFunctions {

std::string GetShortPath(const std::string& path, platform::ShortPathApi& api) {
  constexpr std::uint32_t kBufferSize = 1024;
  const std::optional<std::string> ansiPath = platform::ToAnsiExact(path);
  if (!ansiPath) return {};
  std::string buffer(kBufferSize, ' ');
  const std::uint32_t length = api.GetShortPathNameA(ansiPath->c_str(), buffer.data(), kBufferSize);
  // A result as large as the buffer is the size the call would have needed: the buffer
  // holds no path then.
  if (length >= kBufferSize) return {};
  return platform::FromAnsiExact(std::string_view(buffer).substr(0, length)).value_or("");
}

bool FileExists(const std::string& path, platform::PathExistsApi& api) {
  const std::optional<std::string> ansiPath = platform::ToAnsiExact(path);
  return ansiPath && api.PathFileExistsA(ansiPath->c_str());
}

std::string FileNameFromPath(const std::string& path) {
  const auto separator = path.find_last_of('\\');
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace corvane::mFunctions
