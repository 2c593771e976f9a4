#pragma once

#include <windows.h>

#include <optional>
#include <span>

#include "app/form_layout.h"
#include "app/win32/focus_memory.h"
#include "app/win32/form_controls.h"
#include "app/win32/window_base.h"

namespace corvane::app::win32 {

// A window laid out from its properties and its table of controls: it creates the
// controls with the window, keeps the focus across deactivation, colours its static
// controls, and lays itself out again when its DPI changes.
class FormWindow : public Window {
 protected:
  FormWindow(const WindowProperties& properties, std::span<const ControlRow> table,
             int initialFocusId);

  // Handles the messages every form handles alike; a derived window handles its own first
  // and passes the rest on.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // After the controls were created, at the window's DPI.
  virtual void OnControlsCreated(int /*dpi*/) {}
  // After the window and its controls were laid out for a new DPI.
  virtual void OnDpiApplied(int /*dpi*/) {}

  // Enter presses the command button that has the focus, as in any dialog; there is no
  // default button that it would press otherwise. The dialog keys send Enter as IDOK.
  void PressFocusedButton();

  FormControls& Controls() { return *controls_; }
  const FormControls& Controls() const { return *controls_; }
  std::span<const ControlRow> Table() const { return table_; }
  const WindowProperties& Properties() const { return properties_; }

 private:
  void OnCreate();
  void OnDpiChanged(int dpi, const RECT& suggested);

  const WindowProperties& properties_;
  std::span<const ControlRow> table_;
  std::optional<FormControls> controls_;
  FocusMemory focus_;
};

}  // namespace corvane::app::win32
