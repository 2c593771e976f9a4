#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "wine/joining_thread.h"

namespace dialogs_testing {

// Plays the user from a helper thread: waits for the next visible dialog box that the
// creating thread shows (window class "#32770"), acts on it, and makes sure it closes. A
// dialog that never appears, or that stays open after the act, never hangs a test.
class DialogRobot {
 public:
  using Act = std::function<void(HWND dialog)>;

  explicit DialogRobot(Act act);
  DialogRobot(const DialogRobot&) = delete;
  DialogRobot& operator=(const DialogRobot&) = delete;
  ~DialogRobot();

  // Waits for the helper thread; true when a dialog box appeared.
  bool Finish();

 private:
  void Run();

  Act act_;
  DWORD thread_;
  std::atomic<bool> sawDialog_{false};
  wine_testing::JoiningThread worker_;
};

// Acts of the user.
void PressOk(HWND dialog);
void PressCancel(HWND dialog);
void PressButton(HWND dialog, int id);
// Types `text` into the dialog's control `id` (an edit box or a combo box with one).
void Type(HWND dialog, int id, const std::string& text);
// Selects the entry `text` of the combo box `id` as a click would.
void SelectInCombo(HWND dialog, int id, const std::string& text);
// The entries of the combo box `id`.
std::vector<std::string> ComboEntries(HWND dialog, int id);

}  // namespace dialogs_testing
