#pragma once

#include <atomic>
#include <memory>

#include "kelvore/tool/console.h"

namespace kelvore {

// Standard output and error; the progress line is shown only on an interactive console.
std::unique_ptr<Console> MakeTerminalConsole();

// From now on Ctrl+C, Ctrl+Break and closing the console window set InterruptRequested()
// instead of ending the process, so that the rebuild can remove its unfinished output.
void WatchForInterrupts();
const std::atomic<bool>& InterruptRequested();

// Tells a pending close of the console window that the cleanup is over.
void MarkCleanupDone();

// When the console window was created for this process alone (Corvane started it) and can
// read input, asks for Enter before the window closes with the results.
void WaitForEnterIfWindowIsOurs(Console& console);

}  // namespace kelvore
