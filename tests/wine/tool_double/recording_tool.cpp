// A stand-in for the rebuild tool, for tests only: records the command line it was
// started with and how its window was asked to show, in "kelvore-call.txt" beside itself,
// then exits. Each start appends one record of two lines.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::filesystem::path OwnFolder() {
  wchar_t path[MAX_PATH * 4] = {};
  ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  return std::filesystem::path(path).parent_path();
}

std::string Utf8(const std::wstring& text) {
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                        length, nullptr, nullptr);
  return utf8;
}

}  // namespace

int main() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  ::GetStartupInfoW(&startup);
  std::ofstream record(OwnFolder() / "kelvore-call.txt", std::ios::binary | std::ios::app);
  record << Utf8(::GetCommandLineW()) << "\n"
         << "flags=" << startup.dwFlags << " show=" << startup.wShowWindow << "\n";
  return 0;
}
