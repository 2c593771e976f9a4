#pragma once

#include <functional>

#include "kelvore/tool/console.h"

namespace kelvore {

inline constexpr int kExitDone = 0;
inline constexpr int kExitUsage = 1;         // the command line was not understood, or the
                                             // dump list given cannot be used
inline constexpr int kExitImageRefused = 2;  // invalid image, or its data does not fit
inline constexpr int kExitIoFailure = 3;     // read/write failure, output in the way,
                                             // verification mismatch, interruption
// A valid image that is not the dump a dump list gives, or not in the list at all.
inline constexpr int kExitNotTheListedDump = 4;

// The worse of two images' exit codes, for a run over many images: 3, then 2, then 4, then 0,
// which is not the order of the numbers. A code outside that order (a usage error, say) is
// worse than all of them.
int WorseExitCode(int a, int b);

// Runs `job` and turns what it throws into the exit code, saying what went wrong on
// `console`: DumpListError gives 1, ImageError 2, every other failure 3. `after_unfinished`
// runs after the message of a failure that stopped the job half-way (not for an unusable dump
// list or an invalid image, nor for a finished image whose last step failed).
int ExitCodeOf(
    Console& console, const std::function<void()>& job,
    const std::function<void()>& after_unfinished = [] {});

// The exit code of a command whose output is what was asked for (a report, checksums, help),
// once that output is checked, as coreutils check theirs: output that did not all arrive
// turns success into kExitIoFailure, saying so on `console` unless the reader of a pipe had
// gone (`kelvore IMAGE --hash | head -1`); a failure already reported keeps its code.
int ReportExitCode(int exit_code, Console& console);

}  // namespace kelvore
