#pragma once

#include <cstdint>
#include <string>

#include "app/program_state.h"
#include "platform/executable.h"
#include "platform/message_box.h"
#include "platform/process_launcher.h"
#include "platform/short_path.h"

namespace corvane::app {

// What starting the rebuild tool needs of the system.
struct LaunchServices {
  platform::Executable& executable;
  platform::ShortPathApi& shortPaths;
  platform::ProcessLauncher& processes;
  platform::MessageBoxes& messages;
};

// An option letter after its check box was clicked: present while the box is checked,
// absent while it is unchecked; the grayed value leaves it as it was.
std::string OptionFlagAfterClick(std::int16_t boxValue, const std::string& flag,
                                 const std::string& letter);

// Refuses, with a message box, a rebuild when no image is open or the image is good or
// oversize; otherwise starts the rebuild in the given mode.
void RequestRebuild(std::int16_t mode, std::int16_t imageState, const ProgramState& state,
                    LaunchServices& services);

}  // namespace corvane::app

namespace corvane::mFunctions {

// Starts the rebuild tool of the application folder for the open image in `mode` (0: full
// size image, 1: 3 GB image) with the chosen options, and returns without waiting. Any
// other mode does nothing at all. When the image has no short path or the tool cannot be
// started, says so in a message box and starts nothing.
void LaunchRebuild(std::int16_t mode, const app::ProgramState& state,
                   app::LaunchServices& services);

}  // namespace corvane::mFunctions
