// The rebuild launcher starting a real process: a stand-in for the tool records the command
// line it received and how its window was asked to show.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/rebuild_launcher.h"
#include "doubles/system_doubles.h"
#include "platform/executable.h"
#include "platform/process_launcher.h"
#include "support/path_helpers.h"
#include "temp_folder.h"

namespace {

using corvane::app::LaunchServices;
using corvane::app::ProgramState;

// The tool's record: the command line, then its start flags and show state.
std::vector<std::string> WaitForRecord(const std::filesystem::path& record) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream file(record, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    if (lines.size() >= 2) return lines;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return {};
}

class LauncherOnWindows : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(apps.Path(GetParam()));
    std::filesystem::copy_file(
        std::filesystem::path(platform::SystemExecutable().Folder()) / "recording_tool.exe",
        apps.Path(GetParam() + "/kelvore.exe"));
    std::filesystem::create_directories(images.Path("Disc Images"));
    state.ImagePath = images.File("Disc Images/my wiped disc.gcm", "wiped");
  }
  std::string AppFolder() const { return apps.Utf8(GetParam()); }

  testing_support::TempFolder apps;
  testing_support::TempFolder images{"images "};
  ProgramState state;
  doubles::RecordedMessages messages;
};

TEST_P(LauncherOnWindows, ToolReceivesExactlyTheComposedCommandLineInANormalWindow) {
  doubles::FixedExecutable executable(AppFolder());
  LaunchServices services{executable, platform::SystemShortPathApi(),
                          platform::SystemProcessLauncher(), messages};
  state.AlignFlag = "t";
  corvane::mFunctions::LaunchRebuild(1, state, services);
  ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].text;

  const std::vector<std::string> record =
      WaitForRecord(apps.Path(GetParam() + "/kelvore-call.txt"));
  ASSERT_EQ(record.size(), 2u);
  const std::string toolPath = AppFolder() + "\\kelvore.exe";
  const std::string quotedTool =
      toolPath.find(' ') == std::string::npos ? toolPath : '"' + toolPath + '"';
  const std::string shortImage = corvane::mFunctions::GetShortPath(state.ImagePath);
  ASSERT_EQ(shortImage.find(' '), std::string::npos);
  EXPECT_EQ(record[0], quotedTool + " " + shortImage + " g t ");
  EXPECT_EQ(record[1], "flags=1 show=1");  // STARTF_USESHOWWINDOW, SW_SHOWNORMAL
}

TEST_P(LauncherOnWindows, DeletedToolIsReportedWithItsPathAndTheReason) {
  std::filesystem::remove(apps.Path(GetParam() + "/kelvore.exe"));
  doubles::FixedExecutable executable(AppFolder());
  LaunchServices services{executable, platform::SystemShortPathApi(),
                          platform::SystemProcessLauncher(), messages};
  corvane::mFunctions::LaunchRebuild(0, state, services);
  ASSERT_EQ(messages.shown.size(), 1u);
  const std::string& text = messages.shown[0].text;
  EXPECT_NE(text.find(AppFolder() + "\\kelvore.exe"), std::string::npos) << text;
  EXPECT_GT(text.size(), text.find("kelvore.exe") + 20) << "the reason follows the path: " << text;
  EXPECT_EQ(messages.shown[0].title, "Error ...");
  EXPECT_EQ(messages.shown[0].style, 0x10u);
}

INSTANTIATE_TEST_SUITE_P(ApplicationFolders, LauncherOnWindows,
                         testing::Values("Corvane", "Program Files/Corvane Tools"),
                         [](const auto& param) {
                           return param.index == 0 ? "Plain" : "WithBlanks";
                         });

}  // namespace
