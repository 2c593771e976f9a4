#pragma once

#include <atomic>

namespace kelvore {

// Set from outside (Ctrl+C, a console window closing) when the user asks the tool to stop;
// every loop whose length the image decides polls it.
using InterruptFlag = std::atomic<bool>;

// A flag nobody sets, for callers that offer no way to stop.
const InterruptFlag& NeverInterrupted();

// Throws IoError("Interrupted.") once the flag is set.
void StopIfInterrupted(const InterruptFlag& interrupted);

}  // namespace kelvore
