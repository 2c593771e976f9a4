#include "dialog_robot.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace dialogs_testing {
namespace {

using namespace std::chrono_literals;

constexpr auto kAppearTimeout = 15s;
constexpr auto kCloseTimeout = 5s;
constexpr auto kPollInterval = 50ms;
constexpr auto kSettleTime = 500ms;
constexpr int kCancelAttempts = 5;

// Keeps the first visible dialog window in the HWND that `result` points to.
BOOL CALLBACK KeepVisibleDialog(HWND window, LPARAM result) {
  char className[16] = {};
  ::GetClassNameA(window, className, sizeof(className));
  if (std::string(className) != "#32770" || !::IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(result) = window;
  return FALSE;
}

HWND FindVisibleDialog(DWORD thread) {
  HWND found = nullptr;
  ::EnumThreadWindows(thread, KeepVisibleDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
}

}  // namespace

DialogRobot::DialogRobot(Act act)
    : act_(std::move(act)), thread_(::GetCurrentThreadId()), worker_([this] { Run(); }) {}

DialogRobot::~DialogRobot() = default;

bool DialogRobot::Finish() {
  worker_.Join();
  return sawDialog_;
}

void DialogRobot::Run() {
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = FindVisibleDialog(thread_)) != nullptr; }, kAppearTimeout)) {
    return;
  }
  sawDialog_ = true;
  std::this_thread::sleep_for(kSettleTime);
  act_(dialog);
  const auto closed = [&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); };
  for (int attempt = 0; attempt < kCancelAttempts && !WaitFor(closed, kCloseTimeout); ++attempt) {
    // Whatever the act left open (a message box over the dialog, too): cancel it.
    if (HWND top = FindVisibleDialog(thread_)) PressCancel(top);
  }
}

void PressButton(HWND dialog, int id) {
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void PressOk(HWND dialog) { PressButton(dialog, IDOK); }
void PressCancel(HWND dialog) { PressButton(dialog, IDCANCEL); }

void Type(HWND dialog, int id, const std::string& text) {
  ::SetDlgItemTextA(dialog, id, text.c_str());
}

void SelectInCombo(HWND dialog, int id, const std::string& text) {
  HWND combo = ::GetDlgItem(dialog, id);
  ::SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(text.c_str()));
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

std::vector<std::string> ComboEntries(HWND dialog, int id) {
  HWND combo = ::GetDlgItem(dialog, id);
  const auto count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0);
  std::vector<std::string> entries;
  for (LRESULT i = 0; i < count; ++i) {
    std::string entry(static_cast<std::size_t>(::SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)), '\0');
    ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace dialogs_testing
