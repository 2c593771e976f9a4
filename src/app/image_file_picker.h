#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/image_picker.h"
#include "platform/common_dialogs.h"
#include "platform/dialog_defaults.h"

namespace corvane::app {

// The Open Image question as the system's open-file dialog, modal to the main window,
// listing GameCube images (*.GCM) and accepting only existing files. Each question runs
// on a common-dialog object of its own.
class ImageFilePicker final : public ImagePicker {
 public:
  // `owner` is the main window's handle value.
  ImageFilePicker(std::int32_t owner, platform::CommonDialogs& dialogs,
                  platform::DialogDefaults& defaults);

  std::optional<std::string> PickImage(const std::string& initialPath) override;

 private:
  std::int32_t owner_;
  platform::CommonDialogs& dialogs_;
  platform::DialogDefaults& defaults_;
};

}  // namespace corvane::app
