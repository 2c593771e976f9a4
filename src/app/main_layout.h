#pragma once

#include <span>
#include <string_view>

#include "app/form_layout.h"
#include "app/main_view.h"

namespace corvane::app {

// Control identifiers of frmMain. None is 1 or 2, the commands Enter and Escape send.
namespace main_control {
inline constexpr int kFrame1 = 1000;
inline constexpr int kInfoLabel0 = 1001;
inline constexpr int kInfoLabel1 = 1002;
inline constexpr int kInfoLabel2 = 1003;
inline constexpr int kInfo0 = 1004;  // I_Info(0)
inline constexpr int kInfo1 = 1005;
inline constexpr int kInfo2 = 1006;
inline constexpr int kFrame2 = 1007;
inline constexpr int kAdvice = 1008;  // L_Advice
inline constexpr int kFrame3 = 1009;
inline constexpr int kChkT = 1010;
inline constexpr int kChkS = 1011;
inline constexpr int kCmd14Gb = 1012;
inline constexpr int kCmd3GB = 1013;
}  // namespace main_control

// Command identifiers of frmMain's menu entries.
namespace main_menu {
inline constexpr int kOpen = 101;
inline constexpr int kExit = 102;
inline constexpr int kAbout = 103;
}  // namespace main_menu

// One entry of a menu. `parent` is empty for the menus of the menu bar; the caption "-"
// is a separator line. An ampersand marks the access key.
struct MenuEntry {
  std::string_view name;
  std::string_view parent;
  std::string_view caption;
  int id = 0;
};

inline constexpr std::string_view kMenuSeparator = "-";

const WindowProperties& MainWindowProperties();
std::span<const ControlRow> MainControls();
std::span<const MenuEntry> MainMenu();

// The control that receives the focus when the window opens.
inline constexpr int kMainInitialFocus = main_control::kCmd14Gb;

// The identifier of the value label I_Info(row).
int InfoValueId(InfoRow row);

}  // namespace corvane::app
