#pragma once

namespace kelvore {

// Process-wide settings made before anything else runs: on Windows, DLLs named without a
// path come from the system folder only; on POSIX, a write to a pipe whose reader has gone
// fails instead of ending the process with its unfinished output left behind.
void PrepareProcess();

}  // namespace kelvore
