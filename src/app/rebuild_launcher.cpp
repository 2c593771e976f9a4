#include "app/rebuild_launcher.h"

#include "app/image_inspection.h"
#include "app/main_view.h"
#include "app/rebuild_command.h"
#include "support/path_helpers.h"

namespace corvane::app {
namespace {

constexpr const char* kErrorTitle = "Error ...";

void ShowError(LaunchServices& services, const std::string& text, std::uint32_t icon) {
  services.messages.Show(text, kErrorTitle, platform::message_style::kOk | icon);
}

}  // namespace

std::string OptionFlagAfterClick(std::int16_t boxValue, const std::string& flag,
                                 const std::string& letter) {
  if (boxValue == check_value::kChecked) return letter;
  if (boxValue == check_value::kUnchecked) return {};
  return flag;
}

void RequestRebuild(std::int16_t mode, std::int16_t imageState, const ProgramState& state,
                    LaunchServices& services) {
  if (state.ImagePath.empty()) {
    ShowError(services, "You must open a GCM image before trying to rebuild.",
              platform::message_style::kIconError);
    return;
  }
  if (imageState == image_state::kGood || imageState == image_state::kOversize) {
    ShowError(services,
              "This tool is for rebuilding wiped GCM images.\r\n"
              "You can not rebuild good or oversized images.",
              platform::message_style::kIconInformation);
    return;
  }
  mFunctions::LaunchRebuild(mode, state, services);
}

}  // namespace corvane::app

namespace corvane::mFunctions {

void LaunchRebuild(std::int16_t mode, const app::ProgramState& state,
                   app::LaunchServices& services) {
  if (mode != app::rebuild_mode::kStandard && mode != app::rebuild_mode::kLarge) return;
  const std::string folder = services.executable.Folder();
  const std::string shortImagePath = GetShortPath(state.ImagePath, services.shortPaths);
  if (shortImagePath.empty()) {
    app::ShowError(services,
                   "The short path of the image could not be determined:\r\n" + state.ImagePath +
                       "\r\n\r\nThe rebuild was not started.",
                   platform::message_style::kIconError);
    return;
  }
  const auto command =
      app::ComposeRebuildCommand(folder, shortImagePath, mode, state.AlignFlag, state.StreamFlag);
  if (const auto failure = services.processes.Start(command->toolPath, command->commandLine)) {
    app::ShowError(
        services,
        "The rebuild tool could not be started:\r\n" + command->toolPath + "\r\n\r\n" + *failure,
        platform::message_style::kIconError);
  }
}

}  // namespace corvane::mFunctions
