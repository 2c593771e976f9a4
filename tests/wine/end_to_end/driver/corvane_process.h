#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "driver/polling.h"

namespace e2e {

// A running Corvane.exe (or another program, with `arguments`), started with a normal
// window from its own folder; whatever is left of it is ended when the test is done with it.
class CorvaneProcess {
 public:
  explicit CorvaneProcess(const std::filesystem::path& program, const std::wstring& arguments = {});
  CorvaneProcess(const CorvaneProcess&) = delete;
  CorvaneProcess& operator=(const CorvaneProcess&) = delete;
  ~CorvaneProcess();

  DWORD Id() const { return id_; }
  // True once the process has ended, within `timeout`.
  bool WaitForExit(std::chrono::milliseconds timeout = kPatience) const;
  DWORD ExitCode() const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

}  // namespace e2e
