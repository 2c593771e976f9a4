#pragma once

#include <optional>
#include <string>

namespace platform {

// Starts programs as processes of their own, in a normal window that takes the focus,
// without waiting for them.
class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts `applicationPath` with the full `commandLine` (its first piece names the program
  // again, as Windows expects). Returns the system's reason when it could not be started.
  virtual std::optional<std::string> Start(const std::string& applicationPath,
                                           const std::string& commandLine) = 0;
};

ProcessLauncher& SystemProcessLauncher();

}  // namespace platform
