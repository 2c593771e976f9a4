#include "driver/corvane_session.h"

#include "app/main_layout.h"
#include "driver/dialogs.h"
#include "driver/polling.h"
#include "driver/text.h"
#include "driver/windows.h"

namespace e2e {

namespace id = corvane::app::main_control;

CorvaneSession::CorvaneSession(Tool tool)
    : folder_(tool),
      process_(folder_.Program()),
      main_(tool == Tool::kNone ? nullptr : WaitForTopLevel(process_.Id(), L"frmMain")) {}

bool CorvaneSession::ChooseImage(const std::filesystem::path& image) {
  PostCommand(main_, corvane::app::main_menu::kOpen);
  const HWND dialog = WaitForOpenDialog(process_.Id());
  return dialog && ConfirmOpenDialog(dialog, image);
}

bool CorvaneSession::OpenImage(const std::filesystem::path& image) {
  const std::string name = Utf8(image.filename().wstring());
  return ChooseImage(image) && WaitUntil([&] { return Info(0) == name; });
}

std::string CorvaneSession::Info(int row) const { return TextOf(main_, id::kInfo0 + row); }

std::string CorvaneSession::Advice() const { return TextOf(main_, id::kAdvice); }

bool CorvaneSession::ToggleOption(int checkBoxId) {
  const int before = CheckState(main_, checkBoxId);
  PostClick(main_, checkBoxId);
  return WaitUntil([&] { return CheckState(main_, checkBoxId) != before; });
}

void CorvaneSession::PressButton(int buttonId) { PostClick(main_, buttonId); }

std::string CorvaneSession::ToolCall(const std::filesystem::path& image,
                                     const std::string& modeAndOptions) const {
  return ToolPath() + " " + ShortPath(image) + modeAndOptions;
}

std::string CorvaneSession::FirstToolCall(int buttonId) {
  PressButton(buttonId);
  const std::vector<std::string> calls = folder_.ToolCalls(1);
  return calls.size() == 1 ? calls[0] : std::to_string(calls.size()) + " tool calls";
}

std::string CorvaneSession::ToolPath() const {
  return Utf8((folder_.Path() / "kelvore.exe").wstring());
}

std::string CorvaneSession::ShortPath(const std::filesystem::path& file) {
  wchar_t shortPath[MAX_PATH] = {};
  ::GetShortPathNameW(file.c_str(), shortPath, MAX_PATH);
  return Utf8(shortPath);
}

}  // namespace e2e
