#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "kelvore/base/interruption.h"
#include "kelvore/tool/console.h"
#include "kelvore/tool/piece_chunks.h"

namespace kelvore {

using SteadyClock = std::chrono::steady_clock;

// "Writing   [##########----------]  50%  512.0 MB/s  0:02 left" (MB meaning MiB).
std::string FormatProgressLine(std::string_view label, std::uint64_t done, std::uint64_t total,
                               SteadyClock::duration elapsed);

// Decides when the progress line is due: at most ten times a second.
class ProgressMeter {
 public:
  ProgressMeter(std::string label, std::uint64_t total, SteadyClock::time_point start);

  // The line to show now, or nothing when the previous one is less than 0.1 s old.
  std::optional<std::string> Update(std::uint64_t done, SteadyClock::time_point now);

  // The closing line, always due.
  std::string Finish(SteadyClock::time_point now) const;

 private:
  std::string label_;
  std::uint64_t total_;
  SteadyClock::time_point start_;
  std::optional<SteadyClock::time_point> last_shown_;
};

// Runs `work`, one pass over `total` bytes that reports its progress through the control it
// is given, with a progress line labelled `label` and a closing line with the final figures.
void RunWithProgress(Console& console, std::string label, std::uint64_t total,
                     const InterruptFlag& interrupted,
                     const std::function<void(const TransferControl&)>& work);

}  // namespace kelvore
