#pragma once

#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/executable.h"
#include "platform/message_box.h"
#include "platform/path_exists.h"
#include "platform/process_launcher.h"
#include "platform/short_path.h"

namespace doubles {

// An executable in a chosen folder; counts how often the folder was asked for.
class FixedExecutable final : public platform::Executable {
 public:
  explicit FixedExecutable(std::string folder) : folder_(std::move(folder)) {}
  std::string Name() const override { return "Corvane"; }
  std::string Folder() const override {
    ++folderQueries;
    return folder_;
  }
  mutable int folderQueries = 0;

 private:
  std::string folder_;
};

// Short paths from a table; a path not in it has none. Records the paths asked for.
class TableShortPaths final : public platform::ShortPathApi {
 public:
  std::uint32_t GetShortPathNameA(const char* longPath, char* buffer,
                                  std::uint32_t bufferSize) override {
    asked.push_back(longPath);
    for (const auto& [from, to] : table) {
      if (from == longPath && to.size() < bufferSize) {
        std::memcpy(buffer, to.c_str(), to.size() + 1);
        return static_cast<std::uint32_t>(to.size());
      }
    }
    return 0;
  }
  std::vector<std::pair<std::string, std::string>> table;
  std::vector<std::string> asked;
};

// Paths that exist.
class PathSet final : public platform::PathExistsApi {
 public:
  bool PathFileExistsA(const char* path) override { return paths.count(path) != 0; }
  std::set<std::string> paths;
};

// Message boxes that are recorded instead of shown.
class RecordedMessages final : public platform::MessageBoxes {
 public:
  struct Shown {
    std::string text;
    std::string title;
    std::uint32_t style;
  };
  void Show(const std::string& text, const std::string& title, std::uint32_t style) override {
    shown.push_back({text, title, style});
  }
  std::vector<Shown> shown;
};

// Process starts that are recorded instead of made; may answer with a failure.
class RecordedLaunches final : public platform::ProcessLauncher {
 public:
  struct Launch {
    std::string application;
    std::string commandLine;
  };
  std::optional<std::string> Start(const std::string& applicationPath,
                                   const std::string& commandLine) override {
    if (failure) return failure;
    launches.push_back({applicationPath, commandLine});
    return std::nullopt;
  }
  std::vector<Launch> launches;
  std::optional<std::string> failure;
};

}  // namespace doubles
