#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane::app {

// The rebuild modes of the two buttons.
namespace rebuild_mode {
inline constexpr std::int16_t kStandard = 0;  // "1.4 GB Image": " f "
inline constexpr std::int16_t kLarge = 1;     // "3 GB Image": " g "
}  // namespace rebuild_mode

inline constexpr const char* kToolFileName = "kelvore.exe";

// The rebuild tool's start: the program to run and its whole command line.
struct RebuildCommand {
  std::string toolPath;
  std::string commandLine;
};

// The tool's path in the application folder, by plain concatenation.
std::string ToolPath(const std::string& applicationFolder);

// The command line for the tool: its path, the image's short path, the mode text, the
// align flag, one space and the stream flag. A piece holding a blank or a tab is quoted,
// so that Windows cannot take a prefix of it for the program or split the image path.
// Nothing for a mode other than 0 or 1.
std::optional<RebuildCommand> ComposeRebuildCommand(const std::string& applicationFolder,
                                                    const std::string& shortImagePath,
                                                    std::int16_t mode, const std::string& alignFlag,
                                                    const std::string& streamFlag);

}  // namespace corvane::app
