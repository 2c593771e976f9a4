#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/form_layout.h"
#include "app/win32/form_fonts.h"

namespace corvane::app::win32 {

// A window's controls, made from its control table: created in tab order as children of
// the window (a control in a frame is placed by the frame's position plus its own),
// laid out and given their fonts for the window's DPI.
class FormControls {
 public:
  FormControls(HWND window, std::span<const ControlRow> table, int dpi);
  FormControls(const FormControls&) = delete;
  FormControls& operator=(const FormControls&) = delete;

  // Lays the controls out anew and gives them fonts for another DPI.
  void ApplyDpi(int dpi);

  HWND Get(int id) const;
  // The table row of a control of this window, or null.
  const ControlRow* RowOf(HWND control) const;

  // Replaces a label's caption. Labels are drawn without a background of their own, so
  // that overlapping labels cannot hide each other's text; the window repaints what lies
  // under the label before the new text is drawn.
  void SetCaption(int id, const std::string& caption) const;

  // WM_CTLCOLORSTATIC: the colours and background brush of a label, frame or check box.
  LRESULT ColourStatic(HDC dc, HWND control) const;

 private:
  void Place(const ControlRow& row, HWND control, int dpi, const FormFonts& fonts) const;

  HWND window_;
  std::span<const ControlRow> table_;
  FormFonts fonts_;
  std::vector<std::pair<const ControlRow*, HWND>> controls_;
};

}  // namespace corvane::app::win32
