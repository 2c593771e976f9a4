#include "platform/win32/message_boxes.h"

#include "platform/win32/wide_text.h"

namespace platform::win32 {

void WindowMessageBoxes::Show(const std::string& text, const std::string& title,
                              std::uint32_t style) {
  const HWND owner = owner_ && ::IsWindowVisible(owner_) ? owner_ : nullptr;
  ::MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), style);
}

}  // namespace platform::win32
