#include "driver/windows.h"

#include <algorithm>
#include <sstream>

#include "driver/polling.h"
#include "driver/text.h"

namespace e2e {
namespace {

struct WindowSearch {
  DWORD processId;
  std::wstring className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId || !::IsWindowVisible(window)) return TRUE;
  wchar_t className[256] = {};
  ::GetClassNameW(window, className, 256);
  if (search->className.empty() || search->className == className) search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::string ToString(const Box& box) {
  std::ostringstream text;
  text << "{" << box.left << ", " << box.top << ", " << box.width << ", " << box.height << "}";
  return text.str();
}

std::vector<HWND> TopLevelWindows(DWORD processId, const std::wstring& className) {
  WindowSearch search{processId, className, {}};
  ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopLevel(DWORD processId, const std::wstring& className) {
  HWND found = nullptr;
  WaitUntil([&] {
    const auto windows = TopLevelWindows(processId, className);
    found = windows.empty() ? nullptr : windows.front();
    return found != nullptr;
  });
  return found;
}

std::string ClassOf(HWND window) {
  wchar_t className[256] = {};
  ::GetClassNameW(window, className, 256);
  return Utf8(className);
}

std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kReplyTimeout, &length);
  std::vector<wchar_t> text(length + 1);
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, kReplyTimeout, &copied);
  return Utf8(std::wstring_view(text.data(), std::min<size_t>(copied, length)));
}

std::string TextOf(HWND dialog, int controlId) { return TextOf(::GetDlgItem(dialog, controlId)); }

LONG StyleOf(HWND window) { return ::GetWindowLongW(window, GWL_STYLE); }
LONG ExStyleOf(HWND window) { return ::GetWindowLongW(window, GWL_EXSTYLE); }

Box ClientSize(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return {0, 0, client.right, client.bottom};
}

Box WindowBox(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Box ChildBox(HWND parent, int controlId) {
  RECT rect{};
  ::GetWindowRect(::GetDlgItem(parent, controlId), &rect);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void PostCommand(HWND window, int id) { ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void PostClick(HWND dialog, int controlId) {
  ::PostMessageW(::GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

void ClickWithMouse(HWND dialog, int controlId) {
  RECT rect{};
  ::GetWindowRect(::GetDlgItem(dialog, controlId), &rect);
  ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  INPUT presses[2]{};
  presses[0].type = INPUT_MOUSE;
  presses[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  presses[1].type = INPUT_MOUSE;
  presses[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, presses, sizeof(INPUT));
}

void PostKey(DWORD threadId, WPARAM key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ::GetGUIThreadInfo(threadId, &info);
  ::PostMessageW(info.hwndFocus, WM_KEYDOWN, key, 1);
  ::PostMessageW(info.hwndFocus, WM_KEYUP, key, 0xC0000001);
}

bool ClickCloseBox(HWND window) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  POINT clientOrigin{0, 0};
  ::ClientToScreen(window, &clientOrigin);
  // The caption's buttons sit at its right end, above the menu bar and the client area.
  for (LONG y = frame.top + 1; y < clientOrigin.y; y += 2) {
    for (LONG x = frame.right - 1; x > frame.right - 80; x -= 2) {
      DWORD_PTR hit = HTNOWHERE;
      ::SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, kReplyTimeout,
                            &hit);
      if (hit != HTCLOSE) continue;
      ::PostMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(x, y));
      ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x - clientOrigin.x, y - clientOrigin.y));
      return true;
    }
  }
  return false;
}

bool ChooseSystemMenuClose(HWND window) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  ::PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  const HWND menu = WaitForTopLevel(processId, L"#32768");
  if (!menu) return false;
  ::PostMessageW(menu, WM_CHAR, 'c', 1);
  return true;
}

int CheckState(HWND dialog, int controlId) {
  DWORD_PTR state = 0;
  ::SendMessageTimeoutW(::GetDlgItem(dialog, controlId), BM_GETCHECK, 0, 0, SMTO_NORMAL,
                        kReplyTimeout, &state);
  return static_cast<int>(state);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

HWND ActiveOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndActive;
}

}  // namespace e2e
