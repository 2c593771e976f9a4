#pragma once

#include <windows.h>

#include <string>

#include "probe/probe_exchange.h"

namespace e2e {

// Asks the window probe, hooked into the GUI thread of a window of Corvane's, what only
// Corvane's process can read.
class ProbeClient {
 public:
  // Hooks the probe into the thread of `anyWindow`.
  explicit ProbeClient(HWND anyWindow);
  ProbeClient(const ProbeClient&) = delete;
  ProbeClient& operator=(const ProbeClient&) = delete;
  ~ProbeClient();

  LOGFONTW FontOf(HWND control);
  // The menu bar of `window`: "File{Open Image|-|E&xit}|Help{&About}".
  std::string MenuOf(HWND window);
  std::string TooltipOf(HWND window, HWND control);
  // "error", "information", "warning", "question", "other" or "none".
  std::string MessageBoxIcon(HWND box);
  // The sizes of a window's icons: "big 32x32, small 16x16"; "none" for an icon not set.
  std::string WindowIcons(HWND window);
  // The file that Corvane's process loads for a DLL named only by `name`, or "none".
  std::string DllByName(HWND anyWindow, const std::wstring& name);

 private:
  probe::Exchange Ask(probe::Question question, HWND window, HWND control = nullptr,
                      const std::wstring& text = {});

  HMODULE module_ = nullptr;
  HHOOK hook_ = nullptr;
  HANDLE memory_ = nullptr;
  probe::Exchange* exchange_ = nullptr;
  UINT ask_ = 0;
};

}  // namespace e2e
