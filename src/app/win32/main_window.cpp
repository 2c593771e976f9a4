#include "app/win32/main_window.h"

#include "app/image_file_picker.h"
#include "app/main_commands.h"
#include "app/main_layout.h"
#include "app/win32/dpi.h"
#include "app/win32/error_box.h"
#include "app/win32/form_geometry.h"
#include "app/win32/menu_bar.h"
#include "app/win32/resource_ids.h"
#include "app/win32/tooltips.h"
#include "platform/common_dialogs.h"
#include "platform/dialog_defaults.h"
#include "platform/executable.h"
#include "platform/path_exists.h"
#include "platform/process_launcher.h"
#include "platform/short_path.h"
#include "platform/win32/handle_value.h"
#include "platform/win32/wide_text.h"

namespace corvane::app::win32 {
namespace {

platform::win32::UniqueIcon LoadProgramIcon(HINSTANCE instance, int size) {
  return platform::win32::UniqueIcon(static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(CORVANE_ICON_ID), IMAGE_ICON, size, size, 0)));
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance)
    : FormWindow(MainWindowProperties(), MainControls(), kMainInitialFocus),
      instance_(instance),
      services_{platform::SystemExecutable(), platform::SystemShortPathApi(),
                platform::SystemProcessLauncher(), messages_},
      form_(*this, state_, services_, platform::SystemPathExistsApi()),
      about_(instance) {}

bool MainWindow::Create() {
  const WindowProperties& properties = Properties();
  const WindowStyles styles = StylesFor(properties);
  platform::win32::UniqueMenu menu = BuildMenuBar(MainMenu());
  const std::wstring className = platform::win32::Widen(properties.className);
  if (!Window::Create({className.c_str(), instance_}, styles.exStyle, styles.style,
                      platform::win32::Widen(properties.caption).c_str(), nullptr, menu.Get())) {
    return false;
  }
  menu.Release();  // the window's now
  return true;
}

bool MainWindow::Load() {
  bool loaded = false;
  // A check that could not be made is shown as an error, and the program ends as well.
  RunReportingErrors([&] { loaded = form_.Form_Load(); });
  if (!loaded) ::DestroyWindow(Handle());
  return loaded;
}

void MainWindow::Show(int showCommand) {
  PlaceWindow(Handle(), Properties());
  ::ShowWindow(Handle(), showCommand);
  ::UpdateWindow(Handle());
}

void MainWindow::SetInfoValue(InfoRow row, const std::string& caption) {
  Controls().SetCaption(InfoValueId(row), caption);
}

void MainWindow::SetAdvice(const std::string& caption) {
  Controls().SetCaption(main_control::kAdvice, caption);
}

std::int16_t MainWindow::OptionValue(OptionBox box) const {
  const int id = box == OptionBox::kStream ? main_control::kChkS : main_control::kChkT;
  return static_cast<std::int16_t>(::SendMessageW(Controls().Get(id), BM_GETCHECK, 0, 0));
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return FormWindow::HandleMessage(message, wParam, lParam);
}

void MainWindow::OnControlsCreated(int dpi) {
  messages_.SetOwner(Handle());
  AttachTooltips(Handle(), Table(), Controls());
  LoadIcons(dpi);
}

void MainWindow::OnDpiApplied(int dpi) { LoadIcons(dpi); }

void MainWindow::OnCommand(int id, int notification) {
  switch (CommandFor(id, notification)) {
    case MainCommand::kOpen:
      return mnuOpen_Click();
    case MainCommand::kExit:
      return mnuExit_Click();
    case MainCommand::kAbout:
      return mnuAbout_Click();
    case MainCommand::kChkS:
      return form_.chkS_Click();
    case MainCommand::kChkT:
      return form_.chkT_Click();
    case MainCommand::kCmd14Gb:
      return form_.cmd14Gb_Click();
    case MainCommand::kCmd3GB:
      return form_.cmd3GB_Click();
    case MainCommand::kEnterKey:
      return PressFocusedButton();
    case MainCommand::kNone:
      return;
  }
}

void MainWindow::LoadIcons(int dpi) {
  // The window lets go of the old icons before they are destroyed.
  auto bigIcon = LoadProgramIcon(instance_, SystemMetricForDpi(SM_CXICON, dpi));
  auto smallIcon = LoadProgramIcon(instance_, SystemMetricForDpi(SM_CXSMICON, dpi));
  ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.Get()));
  ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
  bigIcon_ = std::move(bigIcon);
  smallIcon_ = std::move(smallIcon);
}

void MainWindow::mnuOpen_Click() {
  ImageFilePicker picker(platform::win32::HandleValue(Handle()), platform::SystemCommonDialogs(),
                         platform::SystemDialogDefaults());
  form_.mnuOpen_Click(picker);
}

void MainWindow::mnuExit_Click() { ::SendMessageW(Handle(), WM_CLOSE, 0, 0); }

void MainWindow::mnuAbout_Click() { about_.ShowOver(Handle()); }

}  // namespace corvane::app::win32
