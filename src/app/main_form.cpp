#include "app/main_form.h"

#include "app/rebuild_command.h"
#include "support/path_helpers.h"
#include "support/rebuild_facts.h"

namespace corvane::app {

MainForm::MainForm(MainView& view, ProgramState& state, LaunchServices services,
                   platform::PathExistsApi& pathExists, ImageInspection::StreamFactory makeStream)
    : view_(view),
      state_(state),
      services_(services),
      pathExists_(pathExists),
      inspection_(view, std::move(makeStream)) {}

bool MainForm::Form_Load() {
  if (mFunctions::FileExists(ToolPath(services_.executable.Folder()), pathExists_)) return true;
  services_.messages.Show(
      "kelvore.exe does not appear to exist in the application folder.\r\n\r\n"
      "Exiting Application.",
      "Error ...", platform::message_style::kOk | platform::message_style::kIconError);
  return false;
}

void MainForm::mnuOpen_Click(ImagePicker& picker) {
  const std::optional<std::string> chosen = picker.PickImage(state_.ImagePath);
  if (!chosen) return;
  inspection_.OpenImageStream(*chosen);
  state_.ImagePath = *chosen;
  view_.SetInfoValue(InfoRow::kTitle, mFunctions::FileNameFromPath(*chosen));
  inspection_.ShowImageSize();
}

void MainForm::chkS_Click() {
  state_.StreamFlag = OptionFlagAfterClick(view_.OptionValue(OptionBox::kStream), state_.StreamFlag,
                                           std::string(rebuild::kStreamOption));
}

void MainForm::chkT_Click() {
  state_.AlignFlag = OptionFlagAfterClick(view_.OptionValue(OptionBox::kAlign), state_.AlignFlag,
                                          std::string(rebuild::kAlignOption));
}

void MainForm::cmd14Gb_Click() {
  RequestRebuild(rebuild_mode::kStandard, ImageState(), state_, services_);
}

void MainForm::cmd3GB_Click() {
  RequestRebuild(rebuild_mode::kLarge, ImageState(), state_, services_);
}

}  // namespace corvane::app
