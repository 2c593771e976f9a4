#include "app/win32/error_box.h"

#include <string>

#include "app/untrapped_error.h"
#include "platform/win32/message_boxes.h"

namespace corvane::app::win32 {
namespace {

void ShowErrorText(HWND owner, const std::string& text) {
  platform::win32::WindowMessageBoxes boxes;
  boxes.SetOwner(owner);
  boxes.Show(text, "Error ...", platform::message_style::kOk | platform::message_style::kIconError);
}

}  // namespace

void ShowUntrappedError(HWND owner, const Error& error) {
  ShowErrorText(owner, UntrappedErrorText(error));
}

void ShowUntrappedError(HWND owner, const std::exception& error) {
  ShowErrorText(owner, error.what());
}

}  // namespace corvane::app::win32
