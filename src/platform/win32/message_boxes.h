#pragma once

#include <windows.h>

#include "platform/message_box.h"

namespace platform::win32 {

// Message boxes modal to a window: owned by it while it is shown, on their own (with a
// taskbar button of their own) while it is hidden, as during start-up, or when no owner
// was set.
class WindowMessageBoxes final : public MessageBoxes {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  void Show(const std::string& text, const std::string& title, std::uint32_t style) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace platform::win32
