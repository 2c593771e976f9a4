#pragma once

namespace kelvore {

// Process-wide settings made before anything else runs, so that nothing the tool prints can
// reach the image and no signal can cut a rebuild off without its cleanup. On Windows, DLLs
// named without a path come from the system folder only, and a standard handle that is not
// valid is dropped (the tool's own files could otherwise be given its number). On POSIX,
// standard streams that are closed are opened on /dev/null (the tool's own files would
// otherwise take their numbers); a write to a pipe whose reader has gone, and one past the
// file-size limit, fail instead of ending the process. False when the process cannot be
// made safe (no /dev/null): the tool then stops at once.
bool PrepareProcess();

}  // namespace kelvore
