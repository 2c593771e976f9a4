#pragma once

#include <span>

#include "app/form_layout.h"

namespace corvane::app {

// Control identifiers of frmAbout. None is 1 or 2, the commands Enter and Escape send.
namespace about_control {
inline constexpr int kCmdOkay = 2000;
inline constexpr int kLabel1 = 2001;
inline constexpr int kLabel2 = 2002;
inline constexpr int kLabel3 = 2003;
inline constexpr int kLabel4 = 2004;
inline constexpr int kLabel5 = 2005;
inline constexpr int kLabel6 = 2006;
inline constexpr int kLabel7 = 2007;
inline constexpr int kLabel8 = 2008;
inline constexpr int kLabel9 = 2009;
inline constexpr int kLabel10 = 2010;
}  // namespace about_control

const WindowProperties& AboutWindowProperties();
std::span<const ControlRow> AboutControls();
std::span<const LineRow> AboutLines();

// The control that receives the focus when the window opens.
inline constexpr int kAboutInitialFocus = about_control::kCmdOkay;

}  // namespace corvane::app
