#include "app/main_commands.h"

#include "app/main_layout.h"

namespace corvane::app {
namespace {

// What the dialog keys send: Enter the command 1, Escape the command 2.
constexpr int kEnterCommand = 1;
constexpr int kClickedOrChosen = 0;

}  // namespace

MainCommand CommandFor(int id, int notification) {
  if (notification != kClickedOrChosen) return MainCommand::kNone;
  switch (id) {
    case main_menu::kOpen:
      return MainCommand::kOpen;
    case main_menu::kExit:
      return MainCommand::kExit;
    case main_menu::kAbout:
      return MainCommand::kAbout;
    case main_control::kChkS:
      return MainCommand::kChkS;
    case main_control::kChkT:
      return MainCommand::kChkT;
    case main_control::kCmd14Gb:
      return MainCommand::kCmd14Gb;
    case main_control::kCmd3GB:
      return MainCommand::kCmd3GB;
    case kEnterCommand:
      return MainCommand::kEnterKey;
    default:
      return MainCommand::kNone;
  }
}

}  // namespace corvane::app
