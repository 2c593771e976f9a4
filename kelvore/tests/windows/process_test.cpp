// Starts kelvore.exe the way Corvane does, from the folder this test program lies in.

#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kelvore/disc/disc_reader.h"
#include "kelvore/platform/file_system.h"
#include "kelvore/platform/win32/wide_text.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/temp_folder.h"
#include "kelvore/tool/windows_command_line.h"
#include "support/binary_file_stream.h"

namespace kelvore {
namespace {

using testkit::FileSize;
using testkit::NestedDiscRecipe;
using testkit::ReadFileBytes;
using testkit::SyntheticImage;
using testkit::TempFolder;

constexpr DWORD kToolTimeoutMilliseconds = 120'000;

std::wstring ToolPath() {
  std::wstring path(MAX_PATH * 4, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L'\\')) + L"\\kelvore.exe";
}

std::wstring ShortPath(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  std::wstring short_path(MAX_PATH * 4, L'\0');
  short_path.resize(
      GetShortPathNameW(wide.c_str(), short_path.data(), static_cast<DWORD>(short_path.size())));
  return short_path;
}

struct ToolRun {
  DWORD exit_code = 0;
  std::string output;
};

// Runs a command line with standard input from NUL (so the tool never waits for Enter) and
// both output streams into a log file.
ToolRun RunTool(std::wstring command_line, const std::string& log_path) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inherited, OPEN_EXISTING, 0, nullptr);
  const HANDLE log = CreateFileW(Utf8ToWide(log_path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                 &inherited, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = log;
  startup.hStdError = log;
  PROCESS_INFORMATION process{};
  ToolRun run;
  if (CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                     nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, kToolTimeoutMilliseconds);
    GetExitCodeProcess(process.hProcess, &run.exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else {
    run.exit_code = GetLastError();
    run.output = "CreateProcessW failed";
  }
  CloseHandle(input);
  CloseHandle(log);
  const std::vector<std::byte> logged = ReadFileBytes(log_path);
  run.output += std::string(reinterpret_cast<const char*>(logged.data()), logged.size());
  return run;
}

class ToolProcessTest : public ::testing::Test {
 protected:
  ToolProcessTest() { image_.WriteTo(source_path_); }

  TempFolder folder_;
  const SyntheticImage image_{NestedDiscRecipe()};
  const std::string source_path_ = folder_.PathOf("Wiped Disc One.gcm");
  const std::string output_path_ = folder_.PathOf("Wiped Disc One.rebuilt.gcm");
};

TEST_F(ToolProcessTest, RebuildsAnImageWhileCorvanesFileStreamHoldsItOpen) {
  const std::vector<std::byte> source_before = ReadFileBytes(source_path_);
  corvane::cBinaryFileStream stream;
  stream.file(source_path_);
  ASSERT_EQ(stream.ExactLength(), static_cast<std::int64_t>(image_.Size()));

  // Corvane's plain form: the 8.3 image path, " f ", no option letters, a blank.
  const std::wstring short_path = ShortPath(source_path_);
  ASSERT_EQ(WideToUtf8(short_path).find("Wiped Disc One"), std::string::npos);
  const ToolRun run = RunTool(ToolPath() + L" " + short_path + L" f  ", folder_.PathOf("log.txt"));
  ASSERT_EQ(run.exit_code, 0u) << run.output;
  EXPECT_NE(run.output.find("Done: " + output_path_), std::string::npos) << run.output;
  EXPECT_EQ(FileSize(output_path_), 1'459'978'240u);
  EXPECT_EQ(ReadDisc(*OpenSourceImage(output_path_)).fst.Files().size(), image_.Files().size());
  EXPECT_EQ(ReadFileBytes(source_path_), source_before);
}

TEST_F(ToolProcessTest, QuotedLargeModeLineWithBothOptions) {
  const ToolRun run = RunTool(L"\"" + ToolPath() + L"\" \"" + ShortPath(source_path_) + L"\" g t s",
                              folder_.PathOf("log.txt"));
  ASSERT_EQ(run.exit_code, 0u) << run.output;
  EXPECT_EQ(FileSize(output_path_), 3'221'225'472u);
  const Disc rebuilt = ReadDisc(*OpenSourceImage(output_path_));
  for (const DiscFile& file : rebuilt.fst.Files()) EXPECT_EQ(file.offset % 0x8000, 0u);
}

TEST_F(ToolProcessTest, RefusesAnExistingOutputWithCodeThree) {
  testkit::WriteFileBytes(output_path_, {std::byte{1}});
  const ToolRun run =
      RunTool(ToolPath() + L" " + ShortPath(source_path_) + L" f t ", folder_.PathOf("log.txt"));
  EXPECT_EQ(run.exit_code, 3u) << run.output;
  EXPECT_EQ(FileSize(output_path_), 1u);
}

TEST(WindowsCommandLine, SplitsOrdinaryLinesLikeTheSystem) {
  for (const std::wstring line :
       {L"x.gcm f", L"C:\\GAMES\\DISC~1.GCM f  ", L"\"D:\\My Games\\x.gcm\" g t s",
        L"a\\\\\"b c\" d", L"a\\\\\\\"b c", L"-o \"C:\\out dir\\\" f", L"  x.gcm\tg   s "}) {
    int count = 0;
    const std::wstring whole = L"kelvore.exe " + line;
    wchar_t** system_args = CommandLineToArgvW(whole.c_str(), &count);
    ASSERT_NE(system_args, nullptr);
    std::vector<std::string> expected;
    for (int i = 1; i < count; ++i) expected.push_back(WideToUtf8(system_args[i]));
    LocalFree(system_args);
    EXPECT_EQ(SplitWindowsArguments(WideToUtf8(line)), expected) << WideToUtf8(line);
  }
}

}  // namespace
}  // namespace kelvore
