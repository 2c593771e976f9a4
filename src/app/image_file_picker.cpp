#include "app/image_file_picker.h"

#include "dialogs/common_dialog.h"

namespace corvane::app {

ImageFilePicker::ImageFilePicker(std::int32_t owner, platform::CommonDialogs& dialogs,
                                 platform::DialogDefaults& defaults)
    : owner_(owner), dialogs_(dialogs), defaults_(defaults) {}

std::optional<std::string> ImageFilePicker::PickImage(const std::string& initialPath) {
  OpenFileNameArgs args{
      .Filename = initialPath,
      .FileTitle = {},
      .FileMustExist = true,
      .MultiSelect = false,
      .ReadOnly = false,
      .HideReadOnly = false,
      .Filter = "GameCube ISO (*.GCM)|*.GCM",
      .FilterIndex = 1,
      .InitDir = {},
      .DlgTitle = {},
      .DefaultExt = {},
      .Owner = owner_,
      .flags = 0,
  };
  cCommonDialog dialog(dialogs_, defaults_);
  if (!dialog.VBGetOpenFileName(args)) return std::nullopt;
  return args.Filename;
}

}  // namespace corvane::app
