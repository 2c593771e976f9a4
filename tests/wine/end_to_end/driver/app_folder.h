#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

// What lies in the application folder under the rebuild tool's name: the recording stand-in,
// the real tool, a folder, or nothing.
enum class Tool { kRecordingTool, kRebuildTool, kFolderNamedLikeTheTool, kNone };

// A fresh application folder in the temporary folder, holding a copy of Corvane.exe and,
// as asked, a kelvore.exe; removed at the end, after ending any tool still running from it.
class AppFolder {
 public:
  explicit AppFolder(Tool tool = Tool::kRecordingTool);
  AppFolder(const AppFolder&) = delete;
  AppFolder& operator=(const AppFolder&) = delete;
  ~AppFolder();

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path Program() const { return path_ / "Corvane.exe"; }
  // A sparse file of `length` bytes in the folder's "Images" subfolder.
  std::filesystem::path Image(const std::string& name, std::uint64_t length) const;
  // The command lines the stand-in tool recorded, one per start, once `count` are there.
  std::vector<std::string> ToolCalls(std::size_t count) const;
  // The show state the stand-in recorded for its last start ("flags=1 show=1").
  std::string LastToolShowState() const;
  bool ToolWasStarted() const;

 private:
  std::vector<std::string> RecordLines() const;
  std::filesystem::path path_;
};

}  // namespace e2e
