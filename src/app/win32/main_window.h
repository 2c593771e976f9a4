#pragma once

#include <windows.h>

#include <string>

#include "app/main_form.h"
#include "app/main_view.h"
#include "app/program_state.h"
#include "app/rebuild_launcher.h"
#include "app/win32/about_window.h"
#include "app/win32/form_window.h"
#include "platform/win32/message_boxes.h"
#include "platform/win32/unique_handle.h"

namespace corvane::app::win32 {

// frmMain: the program's main window. Its events go to the handlers of MainForm; it shows
// what they write through MainView.
class MainWindow final : public FormWindow, public MainView {
 public:
  explicit MainWindow(HINSTANCE instance);

  // Creates the window with its controls and menu, still invisible; false when it could
  // not be created.
  bool Create();
  // The start-up check. When it fails, the window is unloaded without ever being shown and
  // false is returned.
  bool Load();
  // Shows the window centred on the screen, the focus on its first button.
  void Show(int showCommand);

  void SetInfoValue(InfoRow row, const std::string& caption) override;
  void SetAdvice(const std::string& caption) override;
  std::int16_t OptionValue(OptionBox box) const override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnControlsCreated(int dpi) override;
  void OnDpiApplied(int dpi) override;
  void OnCommand(int id, int notification);
  void LoadIcons(int dpi);

  void mnuOpen_Click();
  void mnuExit_Click();
  void mnuAbout_Click();

  HINSTANCE instance_;
  ProgramState state_;
  platform::win32::WindowMessageBoxes messages_;
  LaunchServices services_;
  MainForm form_;
  platform::win32::UniqueIcon bigIcon_;
  platform::win32::UniqueIcon smallIcon_;
  AboutWindow about_;
};

}  // namespace corvane::app::win32
