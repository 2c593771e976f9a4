#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "driver/app_folder.h"
#include "driver/corvane_process.h"

namespace e2e {

// Corvane started from a fresh application folder, driven through its main window.
class CorvaneSession {
 public:
  explicit CorvaneSession(Tool tool = Tool::kRecordingTool);

  AppFolder& Folder() { return folder_; }
  CorvaneProcess& Process() { return process_; }
  // The main window; null when it did not come.
  HWND Main() const { return main_; }

  // Chooses File > Open Image and confirms `image` in the open dialog; false when the
  // dialog did not come or did not close.
  bool ChooseImage(const std::filesystem::path& image);
  // Opens `image` and waits until the window shows it; false when it does not.
  bool OpenImage(const std::filesystem::path& image);

  // I_Info(row) and L_Advice.
  std::string Info(int row) const;
  std::string Advice() const;

  // Clicks a check box and waits until it shows its new state; false when it does not.
  bool ToggleOption(int checkBoxId);
  void PressButton(int buttonId);

  // The tool's path in the application folder and the short form of an image's path, as
  // the tool's command line holds them.
  std::string ToolPath() const;
  static std::string ShortPath(const std::filesystem::path& file);
  // The whole command line for `image`, followed by the mode and option text (" f t s").
  std::string ToolCall(const std::filesystem::path& image, const std::string& modeAndOptions) const;
  // Presses a rebuild button of a session that has not started the tool yet; the command
  // line the stand-in tool recorded, or how many it recorded when not exactly one.
  std::string FirstToolCall(int buttonId);

 private:
  AppFolder folder_;
  CorvaneProcess process_;
  HWND main_ = nullptr;
};

}  // namespace e2e
