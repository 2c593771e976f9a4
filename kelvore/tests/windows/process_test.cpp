// Starts kelvore.exe the way Corvane does, from the folder this test program lies in.

#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kelvore/base/win32/long_path.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/platform/file_system.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/temp_folder.h"
#include "kelvore/tool/windows_command_line.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "support/binary_file_stream.h"

namespace kelvore {
namespace {

using platform::win32::Narrow;
using platform::win32::UniqueFileHandle;
using platform::win32::UniqueKernelHandle;
using platform::win32::Widen;
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

// The 8.3 path Corvane passes, without the \\?\ prefix that reaches paths of any length.
std::wstring ShortPath(const std::string& path) {
  const std::wstring long_form = LongPathForm(path);
  std::wstring short_path(long_form.size() + 1, L'\0');
  short_path.resize(GetShortPathNameW(long_form.c_str(), short_path.data(),
                                      static_cast<DWORD>(short_path.size())));
  return Widen(ShownPath(short_path));
}

struct ToolRun {
  DWORD exit_code = 0;
  std::string output;
};

// Runs a command line with standard input from NUL (so the tool never waits for Enter) and
// both output streams into a log file, or standard output into `output` if given (an
// inheritable handle). The tool gets no console: a console host would inherit the log's
// handle and keep it open for a moment after the tool has ended.
ToolRun RunTool(std::wstring command_line, const std::string& log_path, HANDLE output = nullptr) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  ToolRun run;
  {
    const UniqueFileHandle input(CreateFileW(L"NUL", GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                             OPEN_EXISTING, 0, nullptr));
    const UniqueFileHandle log(CreateFileW(Widen(log_path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                           &inherited, CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Get();
    startup.hStdOutput = output != nullptr ? output : log.Get();
    startup.hStdError = log.Get();
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                        nullptr, nullptr, &startup, &started)) {
      return {GetLastError(), "CreateProcessW failed"};
    }
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    if (WaitForSingleObject(process.Get(), kToolTimeoutMilliseconds) != WAIT_OBJECT_0) {
      TerminateProcess(process.Get(), 1);
      WaitForSingleObject(process.Get(), INFINITE);
      run.output = "The tool did not end in time.\n";
    }
    GetExitCodeProcess(process.Get(), &run.exit_code);
  }
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
  ASSERT_EQ(Narrow(short_path).find("Wiped Disc One"), std::string::npos);
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

// Past 260 characters Windows opens, creates and renames files only through the \\?\ form.
// Corvane passes the short path, which fits; the tool works with the long one.
TEST_F(ToolProcessTest, RebuildsAnImageInAFolderWhosePathIsLongerThan260Characters) {
  std::string folder = folder_.PathOf("Games");
  ASSERT_TRUE(CreateDirectoryW(LongPathForm(folder).c_str(), nullptr)) << GetLastError();
  for (char level = '1'; folder.size() < 300; ++level) {
    folder += "\\A folder with a long name, one of several that add up to a long path ";
    folder += level;
    ASSERT_TRUE(CreateDirectoryW(LongPathForm(folder).c_str(), nullptr)) << GetLastError();
  }
  const std::string image = folder + "\\Wiped Disc One.gcm";
  ASSERT_TRUE(MoveFileW(LongPathForm(source_path_).c_str(), LongPathForm(image).c_str()));
  const std::wstring short_path = ShortPath(image);
  ASSERT_FALSE(short_path.empty());
  ASSERT_LT(short_path.size(), static_cast<std::size_t>(MAX_PATH));

  const ToolRun run = RunTool(ToolPath() + L" " + short_path + L" f  ", folder_.PathOf("log.txt"));
  ASSERT_EQ(run.exit_code, 0u) << run.output;
  const std::string output = folder + "\\Wiped Disc One.rebuilt.gcm";
  EXPECT_NE(run.output.find("Done: " + output), std::string::npos) << run.output;
  WIN32_FILE_ATTRIBUTE_DATA written{};
  ASSERT_TRUE(GetFileAttributesExW(LongPathForm(output).c_str(), GetFileExInfoStandard, &written));
  EXPECT_EQ((std::uint64_t{written.nFileSizeHigh} << 32) | written.nFileSizeLow, 1'459'978'240u);
  EXPECT_FALSE(PathExists(output + ".part"));
}

// The report and the checksums through the system's own CNG, as the shipped program computes
// them; the values are md5sum's, sha1sum's and zlib's for the same image.
TEST_F(ToolProcessTest, ReportsTheDiscAndItsChecksumsWritingNothing) {
  const ToolRun run = RunTool(ToolPath() + L" --info " + ShortPath(source_path_) + L" --hash",
                              folder_.PathOf("log.txt"));
  ASSERT_EQ(run.exit_code, 0u) << run.output;
  for (const char* expected : {"  Region:          USA (agrees with the game code's E)\r\n",
                               "  /MUSIC.ADP  not on 32 KiB (at 0x", "  CRC32  9d3799b3\r\n",
                               "  MD5    e1b444ea1a5787d54a3d631d0cdaae03\r\n",
                               "  SHA-1  a684f685145533a3ac9ab721f13266e944ce6476\r\n"}) {
    EXPECT_NE(run.output.find(expected), std::string::npos) << expected << "\n" << run.output;
  }
  EXPECT_FALSE(PathExists(output_path_));
}

// The line the Windows readme gives: a CISO file beside the image, cut to the blocks that
// hold data and verified from the disk, which the tool then reads as the full image.
TEST_F(ToolProcessTest, WritesACisoFileAndReadsItAsTheFullImage) {
  const ToolRun run = RunTool(ToolPath() + L" \"" + Widen(source_path_) + L"\" f s --ciso",
                              folder_.PathOf("log.txt"));
  ASSERT_EQ(run.exit_code, 0u) << run.output;
  const std::string ciso = folder_.PathOf("Wiped Disc One.rebuilt.ciso");
  EXPECT_NE(run.output.find("Done: " + ciso + " (2,129,920 bytes, a CISO of the "),
            std::string::npos)
      << run.output;
  EXPECT_EQ(FileSize(ciso), 0x8000u + (2u << 20));
  const ToolRun info =
      RunTool(ToolPath() + L" \"" + Widen(ciso) + L"\" --info", folder_.PathOf("info.txt"));
  ASSERT_EQ(info.exit_code, 0u) << info.output;
  EXPECT_NE(info.output.find("taken as a full disc of 1,459,978,240 bytes"), std::string::npos)
      << info.output;
  EXPECT_NE(info.output.find("  Size:            1,459,978,240 bytes: good, a full disc\r\n"),
            std::string::npos);
}

// No shell expands wildcards on Windows: the tool does, in the last part of a path, through
// the system's folder listing, each match in name order.
TEST_F(ToolProcessTest, ExpandsWildcardsInImagesItself) {
  for (const char* name : {"Disc B.gcm", "disc a.GCM", "Disc C.iso"}) {
    image_.WriteTo(folder_.PathOf(name));
  }
  const std::string out = folder_.PathOf("out");
  ASSERT_TRUE(CreateDirectoryW(Widen(out).c_str(), nullptr));
  const ToolRun run = RunTool(ToolPath() + L" \"" + Widen(folder_.PathOf("Disc ?.gcm")) +
                                  L"\" f --no-verify -o \"" + Widen(out) + L"\"",
                              folder_.PathOf("log.txt"));
  ASSERT_EQ(run.exit_code, 0u) << run.output;
  EXPECT_NE(run.output.find("Image 1 of 2: " + folder_.PathOf("disc a.GCM") + "\r\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("Image 2 of 2: " + folder_.PathOf("Disc B.gcm") + "\r\n"),
            std::string::npos);
  EXPECT_EQ(FileSize(out + "\\disc a.rebuilt.gcm"), 1'459'978'240u);
  EXPECT_EQ(FileSize(out + "\\Disc B.rebuilt.gcm"), 1'459'978'240u);

  const ToolRun none = RunTool(ToolPath() + L" \"" + Widen(folder_.PathOf("*.wbfs")) + L"\" --hash",
                               folder_.PathOf("none.txt"));
  EXPECT_EQ(none.exit_code, 3u) << none.output;
  EXPECT_NE(none.output.find("Error: Nothing matches " + folder_.PathOf("*.wbfs") + "."),
            std::string::npos)
      << none.output;
}

// The line the Windows readme gives for a two-disc set: both discs in one game folder that the
// tool creates inside the loaders' folder, named after the title and ID6.
TEST_F(ToolProcessTest, PutsBothDiscsOfASetInOneGameFolder) {
  testkit::SyntheticImageRecipe second = NestedDiscRecipe();
  second.disc_number = 1;
  SyntheticImage(second).WriteTo(folder_.PathOf("Wiped Disc Two.gcm"));
  const std::string games = folder_.PathOf("games");
  ASSERT_TRUE(CreateDirectoryW(Widen(games).c_str(), nullptr));
  const ToolRun run =
      RunTool(ToolPath() + L" --games \"" + Widen(games) + L"\" \"" + Widen(source_path_) +
                  L"\" \"" + Widen(folder_.PathOf("Wiped Disc Two.gcm")) + L"\" f s --ciso",
              folder_.PathOf("log.txt"));
  ASSERT_EQ(run.exit_code, 0u) << run.output;
  const std::string game = games + "\\Kelvore Test Disc [GKVE01]";
  EXPECT_EQ(FileSize(game + "\\game.ciso"), 0x8000u + (2u << 20));
  EXPECT_EQ(FileSize(game + "\\disc2.ciso"), 0x8000u + (2u << 20));
  EXPECT_NE(run.output.find("  GKVE01 \"Kelvore Test Disc\": disc 1: image 1; disc 2: image 2\r\n"),
            std::string::npos)
      << run.output;
}

// The shipped program reads a dump list through the system's XmlLite, DOCTYPE, entity and
// comment included, and checks the image against it: listed gives 0, a list for another
// system 1 before the image is read.
TEST_F(ToolProcessTest, ChecksAnImageAgainstADumpListThroughTheSystemsXmlReader) {
  const auto write_list = [this](const std::string& system) {
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        "<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" "
        "\"http://www.logiqx.com/Dats/datafile.dtd\">\r\n<datafile>\r\n<header><name>Nintendo - " +
        system +
        "</name></header>\r\n<game name=\"Kelvore &amp; Friends (USA)\"><!-- nested -->\r\n"
        "<rom name=\"Kelvore.iso\" size=\"498016\" crc=\"9D3799B3\" "
        "md5=\"e1b444ea1a5787d54a3d631d0cdaae03\" "
        "sha1=\"a684f685145533a3ac9ab721f13266e944ce6476\" serial=\"DL-DOL-GKVE-USA\"/>\r\n"
        "</game>\r\n</datafile>\r\n";
    const std::string path = folder_.PathOf("list.dat");
    testkit::WriteFileBytes(path, {reinterpret_cast<const std::byte*>(text.data()),
                                   reinterpret_cast<const std::byte*>(text.data()) + text.size()});
    return path;
  };
  const std::string list = write_list("GameCube");
  const ToolRun run = RunTool(
      ToolPath() + L" --dat \"" + Widen(list) + L"\" \"" + Widen(source_path_) + L"\" --hash",
      folder_.PathOf("log.txt"));
  ASSERT_EQ(run.exit_code, 0u) << run.output;
  EXPECT_NE(run.output.find("  CRC32  9d3799b3\r\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Listed: this image is the dump the list gives for \"Kelvore & "
                            "Friends (USA)\" (file \"Kelvore.iso\")"),
            std::string::npos)
      << run.output;

  write_list("Wii");
  const ToolRun refused =
      RunTool(ToolPath() + L" --dat \"" + Widen(list) + L"\" \"" + Widen(source_path_) + L"\"",
              folder_.PathOf("refused.txt"));
  EXPECT_EQ(refused.exit_code, 1u) << refused.output;
  EXPECT_NE(refused.output.find("not for the GameCube"), std::string::npos) << refused.output;
}

// Checksums that cannot be written are a failure a script can see: here a pipe whose
// reader has gone, which the tool reports with its exit code alone.
TEST_F(ToolProcessTest, ChecksumsIntoAPipeWhoseReaderHasGoneFail) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, &inherited, 0));
  CloseHandle(read_end);
  const UniqueKernelHandle output(write_end);
  const ToolRun run = RunTool(ToolPath() + L" " + ShortPath(source_path_) + L" --hash",
                              folder_.PathOf("log.txt"), output.Get());
  EXPECT_EQ(run.exit_code, 3u) << run.output;
  EXPECT_EQ(run.output, "");
}

TEST(LongPathForm, PrefixesDrivePathsAndSharesAndLeavesDevicesAlone) {
  EXPECT_EQ(LongPathForm("C:\\Games\\..\\Disc.gcm"), L"\\\\?\\C:\\Disc.gcm");
  EXPECT_EQ(LongPathForm("C:/Games/Disc.gcm"), L"\\\\?\\C:\\Games\\Disc.gcm");
  EXPECT_EQ(LongPathForm("\\\\server\\share\\Disc.gcm"), L"\\\\?\\UNC\\server\\share\\Disc.gcm");
  EXPECT_EQ(LongPathForm("\\\\?\\C:\\Disc.gcm"), L"\\\\?\\C:\\Disc.gcm");
  EXPECT_EQ(LongPathForm("NUL"), L"\\\\.\\NUL");
  EXPECT_EQ(ShownPath(L"\\\\?\\UNC\\server\\share\\Disc.gcm"), "\\\\server\\share\\Disc.gcm");
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
    for (int i = 1; i < count; ++i) expected.push_back(Narrow(system_args[i]));
    LocalFree(system_args);
    EXPECT_EQ(SplitWindowsArguments(Narrow(line)), expected) << Narrow(line);
  }
}

}  // namespace
}  // namespace kelvore
