#pragma once

#include <windows.h>

#include <span>

#include "app/form_layout.h"
#include "app/win32/form_controls.h"

namespace corvane::app::win32 {

// Gives the controls with a tooltip in the table theirs: one tooltip window, owned by (and
// destroyed with) `window`.
void AttachTooltips(HWND window, std::span<const ControlRow> table, const FormControls& controls);

}  // namespace corvane::app::win32
