#pragma once

#include <memory>

#include "app/main_form.h"
#include "doubles/memory_files.h"
#include "doubles/recording_main_view.h"
#include "doubles/system_doubles.h"

namespace doubles {

// The main window's handlers over doubles of everything they touch: the program lies in
// C:\Tools, images are files in memory, message boxes and process starts are recorded.
struct MainFormBench {
  FixedExecutable executable{R"(C:\Tools)"};
  TableShortPaths shortPaths;
  RecordedLaunches launches;
  RecordedMessages messages;
  PathSet pathExists;
  MemoryFiles files;
  platform::FileTable table{files};
  RecordingMainView view;
  corvane::app::ProgramState state;
  corvane::app::MainForm form{
      view, state, {executable, shortPaths, launches, messages}, pathExists, [this] {
        return std::make_unique<corvane::cBinaryFileStream>(table, files, "Corvane");
      }};
};

}  // namespace doubles
