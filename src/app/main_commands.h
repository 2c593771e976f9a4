#pragma once

namespace corvane::app {

// The handlers of frmMain that a command message leads to.
enum class MainCommand {
  kNone,
  kOpen,   // mnuOpen_Click
  kExit,   // mnuExit_Click
  kAbout,  // mnuAbout_Click
  kChkS,   // chkS_Click
  kChkT,   // chkT_Click
  kCmd14Gb,
  kCmd3GB,
  kEnterKey,  // Enter, outside any control that takes it
};

// The command identifier and notification code of a WM_COMMAND to frmMain, as a handler.
// A menu choice and a button click both notify with code 0; other notifications lead
// nowhere.
MainCommand CommandFor(int id, int notification);

}  // namespace corvane::app
