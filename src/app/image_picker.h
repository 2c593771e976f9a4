#pragma once

#include <optional>
#include <string>

namespace corvane::app {

// The Open Image command's question to the user: which image? Realised by the open-file
// dialog, modal to the main window.
class ImagePicker {
 public:
  virtual ~ImagePicker() = default;
  // The full path of the confirmed image, or nothing when the user cancelled or the dialog
  // failed. The dialog starts with `initialPath` as its file name.
  virtual std::optional<std::string> PickImage(const std::string& initialPath) = 0;
};

}  // namespace corvane::app
