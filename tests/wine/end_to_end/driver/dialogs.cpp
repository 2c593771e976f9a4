#include "driver/dialogs.h"

#include "driver/text.h"
#include "driver/windows.h"

namespace e2e {
namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kFileNameComboId = 0x47C;
constexpr int kFileNameEditId = 0x480;

HWND FileNameBox(HWND dialog) {
  if (const HWND combo = ::GetDlgItem(dialog, kFileNameComboId)) {
    if (const HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
    return combo;
  }
  return ::GetDlgItem(dialog, kFileNameEditId);
}

bool Closes(HWND window) {
  return WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); });
}

}  // namespace

std::optional<MessageBoxSeen> WaitForMessageBox(DWORD processId,
                                                std::chrono::milliseconds timeout) {
  std::optional<MessageBoxSeen> seen;
  WaitUntil(
      [&] {
        for (const HWND window : TopLevelWindows(processId, L"#32770")) {
          if (const HWND text = ::GetDlgItem(window, kMessageBoxTextId)) {
            seen =
                MessageBoxSeen{window, TextOf(window), TextOf(text), ::GetWindow(window, GW_OWNER)};
            return true;
          }
        }
        return false;
      },
      timeout);
  return seen;
}

bool PressOk(HWND box) {
  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return Closes(box);
}

HWND WaitForOpenDialog(DWORD processId) {
  HWND found = nullptr;
  WaitUntil([&] {
    for (const HWND window : TopLevelWindows(processId, L"#32770")) {
      if (FileNameBox(window)) {
        found = window;
        return true;
      }
    }
    return false;
  });
  return found;
}

std::string OpenDialogFileName(HWND dialog) { return TextOf(FileNameBox(dialog)); }

bool ConfirmOpenDialog(HWND dialog, const std::filesystem::path& path) {
  const std::wstring name = path.wstring();
  ::SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return Closes(dialog);
}

bool CancelOpenDialog(HWND dialog) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return Closes(dialog);
}

}  // namespace e2e
