#pragma once

#include <cstdint>

#include "app/image_inspection.h"
#include "app/image_picker.h"
#include "app/main_view.h"
#include "app/program_state.h"
#include "app/rebuild_launcher.h"
#include "platform/path_exists.h"

namespace corvane::app {

// The main window's event handlers, over an abstract view of the window. The window
// dispatches its events here; errors raised by a handler reach the window's handling of
// untrapped errors.
class MainForm {
 public:
  MainForm(MainView& view, ProgramState& state, LaunchServices services,
           platform::PathExistsApi& pathExists,
           ImageInspection::StreamFactory makeStream = ImageInspection::DefaultStream);

  // The start-up check: true when the rebuild tool lies in the application folder.
  // Otherwise the user is told so, and the window is to be unloaded unseen.
  bool Form_Load();

  // Open Image: asks for an image and shows it. The open image changes only when the user
  // confirms one that can be opened; a cancelled dialog or an image that cannot be opened
  // leaves ImagePath and every label as they were.
  void mnuOpen_Click(ImagePicker& picker);

  void chkS_Click();
  void chkT_Click();
  void cmd14Gb_Click();
  void cmd3GB_Click();

  std::int16_t ImageState() const { return inspection_.ImageState(); }

 private:
  MainView& view_;
  ProgramState& state_;
  LaunchServices services_;
  platform::PathExistsApi& pathExists_;
  ImageInspection inspection_;
};

}  // namespace corvane::app
