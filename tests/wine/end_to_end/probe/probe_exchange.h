#pragma once

#include <windows.h>

#include <cstdint>

// What the tests and the window probe exchange through shared memory: the probe runs inside
// Corvane (loaded by a window hook) and answers what only Corvane's own process can read:
// the fonts of its controls, its menus, its tooltips, the icons of its message boxes, and
// where its DLL search finds a DLL.
namespace probe {

inline constexpr wchar_t kSharedMemoryName[] = L"Local\\CorvaneWindowProbe";
inline constexpr wchar_t kAskMessageName[] = L"CorvaneWindowProbe.Ask";
inline constexpr char kHookProcedureName[] = "CorvaneProbeHook";

enum class Question : std::int32_t {
  kFont = 1,            // the LOGFONT of `window`'s font
  kMenu = 2,            // the menu bar of `window` as text
  kTooltip = 3,         // the tooltip text of control `control` of `window`
  kMessageBoxIcon = 4,  // "error", "information", ... of message box `window`
  kWindowIcons = 5,     // the sizes of `window`'s icons: "big 32x32, small 16x16"
  kDllByName = 6,       // the file the DLL named `text` loads from, by bare name, or "none"
};

struct Exchange {
  Question question;
  std::int32_t answered;
  std::int64_t window;
  std::int64_t control;
  LOGFONTW font;
  wchar_t text[2048];
};

}  // namespace probe
