#include "kelvore/platform/process_start.h"

#include "platform/win32/system_dll_search.h"

namespace kelvore {

void PrepareProcess() { platform::win32::LoadDllsFromSystemFolderOnly(); }

}  // namespace kelvore
