#pragma once

#include <string>

namespace platform {

// The running program's executable.
class Executable {
 public:
  virtual ~Executable() = default;
  // The executable's file name without folder and extension ("Corvane").
  virtual std::string Name() const = 0;
  // The folder that holds the executable, without a trailing separator.
  virtual std::string Folder() const = 0;
};

Executable& SystemExecutable();

}  // namespace platform
