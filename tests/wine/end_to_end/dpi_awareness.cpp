// The tests read Corvane's windows in physical pixels, whatever DPI it runs at.
#include <windows.h>

namespace {

const bool kPerMonitorAware = [] {
  using SetContext = BOOL WINAPI(HANDLE);
  const auto set = reinterpret_cast<SetContext*>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  return set && set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));
}();

}  // namespace
