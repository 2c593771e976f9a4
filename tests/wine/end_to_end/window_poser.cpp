// Poses Corvane's windows for screenshots: starts Corvane from a temporary application
// folder, does the typical run (a wiped 1,400,000,000-byte image, the align option chosen
// and cleared again) and, when asked, opens the About window. Then it prints the screen
// rectangle of the window to photograph ("x y width height") and keeps everything as it is
// until the release file exists, or two minutes have passed; Corvane is ended on the way
// out.
//
// Usage: window_poser main|about RELEASE_FILE
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/main_layout.h"
#include "driver/corvane_session.h"
#include "driver/polling.h"
#include "driver/windows.h"

namespace {

namespace id = corvane::app::main_control;

int Pose(const std::string& window, const std::filesystem::path& release) {
  e2e::CorvaneSession corvane;
  if (!corvane.Main()) return 1;
  if (!corvane.OpenImage(corvane.Folder().Image("disc.gcm", 1'400'000'000))) return 1;
  if (!corvane.ToggleOption(id::kChkT) || !corvane.ToggleOption(id::kChkT)) return 1;
  HWND shown = corvane.Main();
  if (window == "about") {
    e2e::PostCommand(corvane.Main(), corvane::app::main_menu::kAbout);
    shown = e2e::WaitForTopLevel(corvane.Process().Id(), L"frmAbout");
    if (!shown) return 1;
  }
  ::Sleep(500);  // let every control paint
  const e2e::Box box = e2e::WindowBox(shown);
  std::printf("%d %d %d %d\n", box.left, box.top, box.width, box.height);
  std::fflush(stdout);
  e2e::WaitUntil([&] { return std::filesystem::exists(release); }, std::chrono::minutes(2));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string window = argc == 3 ? argv[1] : "";
  if (window != "main" && window != "about") {
    std::fprintf(stderr, "usage: window_poser main|about RELEASE_FILE\n");
    return 2;
  }
  return Pose(window, argv[2]);
}
