#include "app/win32/form_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/wide_text.h"

namespace corvane::app::win32 {
namespace {

struct ControlClass {
  const wchar_t* className;
  DWORD style;
};

// Labels show their text on one line, cut with an ellipsis when it is too long, and take
// an ampersand as itself (a file name may hold one).
ControlClass ClassFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::kFrame:
      return {WC_BUTTONW, BS_GROUPBOX | WS_CLIPSIBLINGS};
    case ControlKind::kCheckBox:
      return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP};
    case ControlKind::kCommandButton:
      return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP};
    case ControlKind::kLabel:
      break;
  }
  return {WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS};
}

int SystemColourIndex(TextColour colour) {
  return colour == TextColour::kWindowText ? COLOR_WINDOWTEXT : COLOR_BTNTEXT;
}

RECT ChildRectInParent(HWND child, HWND parent) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

FormControls::FormControls(HWND window, std::span<const ControlRow> table, int dpi)
    : window_(window), table_(table), fonts_(dpi) {
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
  bool previousTakesFocus = false;
  for (const ControlRow* row : CreationOrder(table)) {
    const ControlClass kind = ClassFor(row->kind);
    // As in a dialog, each frame and label is a group of its own, and the controls that
    // take the focus form groups between them: the arrow keys move the focus within a
    // group, never onto a label.
    const bool takesFocus = TakesFocus(row->kind);
    const DWORD group = takesFocus && previousTakesFocus ? 0 : WS_GROUP;
    previousTakesFocus = takesFocus;
    const HWND control = ::CreateWindowExW(
        0, kind.className, platform::win32::Widen(row->caption).c_str(),
        WS_CHILD | WS_VISIBLE | group | kind.style, 0, 0, 0, 0, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row->id)), instance, nullptr);
    controls_.emplace_back(row, control);
    Place(*row, control, dpi, fonts_);
  }
  // Frames lie beneath everything: clipped by the controls inside them, they never paint
  // over them.
  for (const auto& [row, control] : controls_) {
    if (row->kind == ControlKind::kFrame) {
      ::SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void FormControls::ApplyDpi(int dpi) {
  // The controls let go of the old fonts before they are deleted.
  FormFonts fonts(dpi);
  for (const auto& [row, control] : controls_) Place(*row, control, dpi, fonts);
  fonts_ = std::move(fonts);
  ::InvalidateRect(window_, nullptr, TRUE);
}

void FormControls::Place(const ControlRow& row, HWND control, int dpi,
                         const FormFonts& fonts) const {
  const PixelRect rect = ToPixels(ClientBox(table_, row), dpi);
  ::SetWindowPos(control, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.For(row.extras.font)), FALSE);
}

HWND FormControls::Get(int id) const {
  const auto found =
      std::ranges::find(controls_, id, [](const auto& entry) { return entry.first->id; });
  return found == controls_.end() ? nullptr : found->second;
}

const ControlRow* FormControls::RowOf(HWND control) const {
  const auto found =
      std::ranges::find(controls_, control, [](const auto& entry) { return entry.second; });
  return found == controls_.end() ? nullptr : found->first;
}

void FormControls::SetCaption(int id, const std::string& caption) const {
  const HWND label = Get(id);
  ::SetWindowTextW(label, platform::win32::Widen(caption).c_str());
  const RECT area = ChildRectInParent(label, window_);
  ::RedrawWindow(window_, &area, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW | RDW_UPDATENOW);
}

LRESULT FormControls::ColourStatic(HDC dc, HWND control) const {
  const ControlRow* row = RowOf(control);
  const ControlKind kind = row ? row->kind : ControlKind::kFrame;
  const TextColour colour = row ? row->extras.textColour : TextColour::kButtonText;
  ::SetTextColor(dc, ::GetSysColor(SystemColourIndex(colour)));
  if (kind == ControlKind::kLabel) {
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
  }
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace corvane::app::win32
