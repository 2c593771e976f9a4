#include "driver/probe_client.h"

#include <stdexcept>

#include "driver/polling.h"
#include "driver/text.h"

namespace e2e {

ProbeClient::ProbeClient(HWND anyWindow) : ask_(::RegisterWindowMessageW(probe::kAskMessageName)) {
  module_ = ::LoadLibraryW(WINDOW_PROBE_DLL);
  const auto procedure = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(::GetProcAddress(module_, probe::kHookProcedureName)));
  hook_ = ::SetWindowsHookExW(WH_CALLWNDPROC, procedure, module_,
                              ::GetWindowThreadProcessId(anyWindow, nullptr));
  memory_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 sizeof(probe::Exchange), probe::kSharedMemoryName);
  exchange_ = static_cast<probe::Exchange*>(
      ::MapViewOfFile(memory_, FILE_MAP_WRITE, 0, 0, sizeof(probe::Exchange)));
  if (!hook_ || !exchange_) throw std::runtime_error("cannot hook the window probe");
}

ProbeClient::~ProbeClient() {
  ::UnhookWindowsHookEx(hook_);
  ::UnmapViewOfFile(exchange_);
  ::CloseHandle(memory_);
  ::FreeLibrary(module_);
}

probe::Exchange ProbeClient::Ask(probe::Question question, HWND window, HWND control,
                                 const std::wstring& text) {
  *exchange_ = {};
  exchange_->question = question;
  text.copy(exchange_->text, std::size(exchange_->text) - 1);
  exchange_->window = reinterpret_cast<std::int64_t>(window);
  exchange_->control = reinterpret_cast<std::int64_t>(control);
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(window, ask_, 0, 0, SMTO_NORMAL, kReplyTimeout, &ignored);
  if (!exchange_->answered) throw std::runtime_error("the window probe did not answer");
  return *exchange_;
}

LOGFONTW ProbeClient::FontOf(HWND control) { return Ask(probe::Question::kFont, control).font; }

std::string ProbeClient::MenuOf(HWND window) {
  return Utf8(Ask(probe::Question::kMenu, window).text);
}

std::string ProbeClient::TooltipOf(HWND window, HWND control) {
  return Utf8(Ask(probe::Question::kTooltip, window, control).text);
}

std::string ProbeClient::MessageBoxIcon(HWND box) {
  return Utf8(Ask(probe::Question::kMessageBoxIcon, box).text);
}

std::string ProbeClient::WindowIcons(HWND window) {
  return Utf8(Ask(probe::Question::kWindowIcons, window).text);
}

std::string ProbeClient::DllByName(HWND anyWindow, const std::wstring& name) {
  return Utf8(Ask(probe::Question::kDllByName, anyWindow, nullptr, name).text);
}

}  // namespace e2e
