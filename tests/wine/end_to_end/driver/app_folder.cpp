#include "driver/app_folder.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "driver/polling.h"
#include "driver/sparse_file.h"

namespace e2e {
namespace {

std::filesystem::path FreshTemporaryFolder() {
  static int counter = 0;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (;;) {
    const auto folder = base / ("corvane-e2e-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                std::to_string(++counter));
    if (std::filesystem::create_directory(folder)) return folder;
  }
}

void Copy(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (!::CopyFileW(from.c_str(), to.c_str(), FALSE)) {
    throw std::runtime_error("cannot copy " + from.string());
  }
}

// Ends the processes started from `folder`'s kelvore.exe: the real tool waits for Enter
// in the console window it was given.
void EndToolsStartedFrom(const std::filesystem::path& folder) {
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
       more = ::Process32NextW(snapshot, &entry)) {
    if (::lstrcmpiW(entry.szExeFile, L"kelvore.exe") != 0) continue;
    HANDLE process = ::OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                   entry.th32ProcessID);
    if (!process) continue;
    wchar_t image[MAX_PATH * 2] = {};
    DWORD size = static_cast<DWORD>(std::size(image));
    if (::QueryFullProcessImageNameW(process, 0, image, &size) &&
        std::filesystem::path(image).parent_path() == folder) {
      ::TerminateProcess(process, 1);
      ::WaitForSingleObject(process, 5000);
    }
    ::CloseHandle(process);
  }
  ::CloseHandle(snapshot);
}

}  // namespace

AppFolder::AppFolder(Tool tool) : path_(FreshTemporaryFolder()) {
  Copy(CORVANE_EXE, Program());
  if (tool == Tool::kRecordingTool) Copy(RECORDING_TOOL_EXE, path_ / "kelvore.exe");
  if (tool == Tool::kRebuildTool) Copy(KELVORE_EXE, path_ / "kelvore.exe");
  if (tool == Tool::kFolderNamedLikeTheTool)
    std::filesystem::create_directory(path_ / "kelvore.exe");
  std::filesystem::create_directory(path_ / "Images");
}

// Shared by the tests and the screenshot poser, so it says on stderr what it cannot remove;
// the check after the test run then fails on what is left.
AppFolder::~AppFolder() {
  EndToolsStartedFrom(path_);
  std::error_code error;
  std::filesystem::remove_all(path_, error);
  if (error) {
    std::fprintf(stderr, "cannot remove %s: %s\n", path_.string().c_str(), error.message().c_str());
  }
}

std::filesystem::path AppFolder::Image(const std::string& name, std::uint64_t length) const {
  const auto image = path_ / "Images" / name;
  CreateSparseFile(image, length);
  return image;
}

std::vector<std::string> AppFolder::RecordLines() const {
  std::ifstream record(path_ / "kelvore-call.txt", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(record, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> AppFolder::ToolCalls(std::size_t count) const {
  std::vector<std::string> calls;
  WaitUntil([&] { return RecordLines().size() >= 2 * count; });
  const std::vector<std::string> lines = RecordLines();
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) calls.push_back(lines[i]);
  return calls;
}

std::string AppFolder::LastToolShowState() const {
  const std::vector<std::string> lines = RecordLines();
  return lines.size() >= 2 ? lines.back() : std::string();
}

bool AppFolder::ToolWasStarted() const {
  return std::filesystem::exists(path_ / "kelvore-call.txt");
}

}  // namespace e2e
