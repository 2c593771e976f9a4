#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "driver/polling.h"

namespace e2e {

// A message box of Corvane's as the user sees it.
struct MessageBoxSeen {
  HWND window = nullptr;
  std::string title;
  std::string text;
  HWND owner = nullptr;
};

// The message box that Corvane shows, once it is there.
std::optional<MessageBoxSeen> WaitForMessageBox(DWORD processId,
                                                std::chrono::milliseconds timeout = kPatience);
// Presses the box's OK button and waits until it has gone; false when it stays.
bool PressOk(HWND box);

// The open-file dialog that Corvane shows, once it is there; null when none came.
HWND WaitForOpenDialog(DWORD processId);
// The text of the dialog's file-name box.
std::string OpenDialogFileName(HWND dialog);
// Types `path` into the dialog's file-name box and confirms it; false when the dialog
// stays open.
bool ConfirmOpenDialog(HWND dialog, const std::filesystem::path& path);
// Cancels the dialog; false when it stays open.
bool CancelOpenDialog(HWND dialog);

}  // namespace e2e
