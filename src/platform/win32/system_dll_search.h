#pragma once

namespace platform::win32 {

// Makes the process load DLLs that are named without a path (by the system's own
// libraries too: the common controls, the common dialogs, the shell) from the system
// folder only, never from the program's folder or the current one, where a planted DLL
// would run with the user's rights. Call it first thing, before any such load can happen.
void LoadDllsFromSystemFolderOnly();

}  // namespace platform::win32
