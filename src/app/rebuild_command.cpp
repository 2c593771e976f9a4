#include "app/rebuild_command.h"

#include "support/rebuild_facts.h"

namespace corvane::app {
namespace {

std::string QuotedIfBlank(const std::string& piece) {
  return piece.find_first_of(" \t") == std::string::npos ? piece : '"' + piece + '"';
}

}  // namespace

std::string ToolPath(const std::string& applicationFolder) {
  return applicationFolder + "\\" + kToolFileName;
}

std::optional<RebuildCommand> ComposeRebuildCommand(const std::string& applicationFolder,
                                                    const std::string& shortImagePath,
                                                    std::int16_t mode, const std::string& alignFlag,
                                                    const std::string& streamFlag) {
  std::string_view modeLetter;
  if (mode == rebuild_mode::kStandard) modeLetter = rebuild::kStandardMode;
  if (mode == rebuild_mode::kLarge) modeLetter = rebuild::kLargeMode;
  if (modeLetter.empty()) return std::nullopt;
  const std::string toolPath = ToolPath(applicationFolder);
  return RebuildCommand{toolPath, QuotedIfBlank(toolPath) + " " + QuotedIfBlank(shortImagePath) +
                                      " " + std::string(modeLetter) + " " + alignFlag + " " +
                                      streamFlag};
}

}  // namespace corvane::app
