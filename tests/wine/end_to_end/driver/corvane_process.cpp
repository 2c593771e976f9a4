#include "driver/corvane_process.h"

#include <stdexcept>
#include <string>

namespace e2e {

CorvaneProcess::CorvaneProcess(const std::filesystem::path& program,
                               const std::wstring& arguments) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  const std::wstring folder = program.parent_path().wstring();
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &started)) {
    throw std::runtime_error("cannot start " + program.string());
  }
  ::CloseHandle(started.hThread);
  process_ = started.hProcess;
  id_ = started.dwProcessId;
  ::WaitForInputIdle(process_, 10000);
}

CorvaneProcess::~CorvaneProcess() {
  if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(process_, 1);
    ::WaitForSingleObject(process_, 10000);
  }
  ::CloseHandle(process_);
}

bool CorvaneProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  return ::WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD CorvaneProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(process_, &code);
  return code;
}

}  // namespace e2e
