#include "app/win32/tooltips.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace corvane::app::win32 {

void AttachTooltips(HWND window, std::span<const ControlRow> table, const FormControls& controls) {
  HWND tooltips = nullptr;
  for (const ControlRow& row : table) {
    if (row.extras.tooltip.empty()) continue;
    if (!tooltips) {
      tooltips = ::CreateWindowExW(
          WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
          reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE)), nullptr);
    }
    std::wstring text = platform::win32::Widen(row.extras.tooltip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(controls.Get(row.id));
    tool.lpszText = text.data();  // the tooltip keeps a copy
    ::SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

}  // namespace corvane::app::win32
