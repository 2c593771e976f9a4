// The Win32 layer under the real system: paths, the file stream's sharing and errors, the
// user's decimal separator, images of every size, and the runtime library as the programs
// link it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/image_inspection.h"
#include "doubles/recording_main_view.h"
#include "platform/ansi_code_page.h"
#include "platform/executable.h"
#include "platform/win32/error_numbers.h"
#include "support/binary_file_stream.h"
#include "support/error.h"
#include "support/path_helpers.h"
#include "temp_folder.h"

namespace {

using corvane::cBinaryFileStream;
using corvane::mFunctions::FileExists;
using corvane::mFunctions::GetShortPath;

std::wstring Wide(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }

// The error number the stream raises for `name`, or 0 when it opens.
std::int32_t StreamErrorFor(const std::string& name, std::string* source = nullptr) {
  cBinaryFileStream stream;
  try {
    stream.file(name);
    return 0;
  } catch (const corvane::Error& error) {
    if (source) *source = error.Source();
    EXPECT_FALSE(error.Description().empty());
    return error.Number();
  }
}

TEST(ShortPaths, LongExistingPathShortensAndMissingPathGivesNothing) {
  testing_support::TempFolder folder;
  std::filesystem::create_directories(folder.Path("Long Folder Name"));
  const std::string image = folder.File("Long Folder Name/disc image file.gcm", "x");
  const std::string shortPath = GetShortPath(image);
  ASSERT_FALSE(shortPath.empty());
  EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
  wchar_t longForm[MAX_PATH] = {};
  ::GetLongPathNameW(Wide(shortPath).c_str(), longForm, MAX_PATH);
  EXPECT_EQ(std::filesystem::path(longForm), std::filesystem::path(Wide(image)));
  EXPECT_EQ(GetShortPath(folder.Utf8("missing.gcm")), "");
}

// Under the Western code page 1252, which CTest sets for this program.
TEST(ShortPaths, NameTheCodePageCannotHoldGivesNothingRatherThanAnotherFile) {
  ASSERT_EQ(::GetACP(), 1252u);
  testing_support::TempFolder folder;
  const std::string image = folder.File("disc \xe4\xb8\xad.gcm", "x");  // a CJK character
  EXPECT_FALSE(platform::ToAnsiExact(image).has_value());
  EXPECT_EQ(GetShortPath(image), "");
  EXPECT_FALSE(FileExists(image));
  // "\u0101" (a with macron) has the best fit "a", which would name the other file.
  folder.File("disc a.gcm", "other");
  const std::string macron = folder.File("disc \xc4\x81.gcm", "x");
  EXPECT_FALSE(platform::ToAnsiExact(macron).has_value());
  EXPECT_EQ(GetShortPath(macron), "");
  EXPECT_FALSE(FileExists(macron));
}

TEST(FileExistsOnWindows, FilesAndFoldersExist) {
  testing_support::TempFolder folder;
  EXPECT_TRUE(FileExists(folder.File("kelvore.exe", "")));
  EXPECT_TRUE(FileExists(folder.Utf8()));
  EXPECT_FALSE(FileExists(folder.Utf8("nothing.exe")));
}

TEST(ExecutableOnWindows, NamesTheProgramWithoutExtensionAndItsFolderWithoutSeparator) {
  wchar_t module[MAX_PATH];
  ASSERT_NE(::GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
  const platform::Executable& executable = platform::SystemExecutable();
  EXPECT_EQ(executable.Name(), "platform_layer_tests");
  EXPECT_EQ(Wide(executable.Folder()), std::filesystem::path(module).parent_path().wstring());
  EXPECT_TRUE(FileExists(executable.Folder() + "\\" + executable.Name() + ".exe"));
}

TEST(StreamOnWindows, MissingHiddenSystemAndFolderNamesRaise53) {
  testing_support::TempFolder folder;
  const std::string hidden = folder.File("hidden.gcm", "abc");
  ::SetFileAttributesW(Wide(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
  const std::string system = folder.File("system.gcm", "abc");
  ::SetFileAttributesW(Wide(system).c_str(), FILE_ATTRIBUTE_SYSTEM);
  const std::string readOnly = folder.File("readonly.gcm", "abc");
  ::SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);

  std::string source;
  EXPECT_EQ(StreamErrorFor(folder.Utf8("missing.gcm"), &source), 53);
  EXPECT_EQ(source, platform::SystemExecutable().Name() + ".File");
  EXPECT_EQ(StreamErrorFor(hidden), 53);
  EXPECT_EQ(StreamErrorFor(system), 53);
  EXPECT_EQ(StreamErrorFor(folder.Utf8()), 53);
  EXPECT_EQ(StreamErrorFor(readOnly), 0);
}

TEST(StreamOnWindows, OpenImageMayBeReadByOthersButNotWritten) {
  testing_support::TempFolder folder;
  const std::string image = folder.File("disc.gcm", "0123456789");
  cBinaryFileStream stream;
  stream.file(image);
  HANDLE writer =
      ::CreateFileW(Wide(image).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  HANDLE reader = ::CreateFileW(Wide(image).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  ::CloseHandle(reader);
  stream.Dispose();
  writer = ::CreateFileW(Wide(image).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE) << "closed streams hold nothing";
  ::CloseHandle(writer);
}

TEST(StreamOnWindows, AnImageAnotherProgramHasOpenForWritingRaises70) {
  testing_support::TempFolder folder;
  const std::string image = folder.File("disc.gcm", "0123456789");
  const HANDLE writer =
      ::CreateFileW(Wide(image).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  std::string source;
  EXPECT_EQ(StreamErrorFor(image, &source), 70);
  EXPECT_EQ(source, platform::SystemExecutable().Name()) << "the open's own error";
  ::CloseHandle(writer);
  EXPECT_EQ(StreamErrorFor(image), 0);
}

// The program's numbers for the system's reasons a file operation fails.
TEST(StreamOnWindows, EachSystemReasonRaisesItsNumber) {
  const std::pair<DWORD, std::int32_t> reasons[] = {{ERROR_FILE_NOT_FOUND, 53},
                                                    {ERROR_PATH_NOT_FOUND, 76},
                                                    {ERROR_BAD_NETPATH, 76},
                                                    {ERROR_SHARING_VIOLATION, 70},
                                                    {ERROR_LOCK_VIOLATION, 70},
                                                    {ERROR_ACCESS_DENIED, 75},
                                                    {ERROR_TOO_MANY_OPEN_FILES, 67},
                                                    {ERROR_INVALID_NAME, 52},
                                                    {ERROR_FILENAME_EXCED_RANGE, 52},
                                                    {ERROR_BAD_PATHNAME, 52},
                                                    {ERROR_DIRECTORY, 52},
                                                    {ERROR_HANDLE_EOF, 57},
                                                    {ERROR_CRC, 57}};
  for (const auto& [reason, number] : reasons) {
    EXPECT_EQ(platform::win32::FileErrorNumber(reason), number) << reason;
  }
  const corvane::Error error = platform::win32::FileError(ERROR_ACCESS_DENIED, "C:\\disc.gcm");
  EXPECT_EQ(error.Number(), 75);
  // The system's own text in brackets; its words differ between systems.
  EXPECT_TRUE(error.Description().starts_with("Path/File access error: C:\\disc.gcm (Access"))
      << error.Description();
}

TEST(StreamOnWindows, ReadsChunksOfARealFile) {
  testing_support::TempFolder folder;
  cBinaryFileStream stream;
  stream.file(folder.File("ten.bin", "ABCDEFGHIJ"));
  std::vector<std::uint8_t> buffer(4, '-');
  EXPECT_EQ(stream.Read(buffer, 4), 4);
  EXPECT_EQ(stream.Read(buffer, 4), 4);
  EXPECT_EQ(stream.Read(buffer, 4), 2);
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "IJGH");
  EXPECT_EQ(stream.Read(buffer, 4), 0);
}

TEST(StreamOnWindows, BadNamesNeverCrashAndAlwaysNameTheProblem) {
  testing_support::TempFolder folder;
  const std::string unicode = folder.File("disc \xe4\xb8\xad.gcm", "abc");
  cBinaryFileStream stream;
  stream.file(unicode);  // wide system calls: the name works as it is
  EXPECT_EQ(stream.Length(), 3);

  const std::string base = folder.Utf8() + "\\";
  for (const size_t total : {259u, 260u, 261u, 400u}) {
    const std::string name = base + std::string(total - std::min(total, base.size()), 'a');
    const std::int32_t number = StreamErrorFor(name);
    EXPECT_NE(number, 0) << total;  // nothing of that name exists; the error says why
  }
  EXPECT_NE(StreamErrorFor("C:\\bad<name>.gcm"), 0);
  EXPECT_NE(StreamErrorFor(""), 0);
}

// The user's decimal separator set to a comma for the life of the object, as a German
// user has it.
class DecimalCommaForUser {
 public:
  DecimalCommaForUser() {
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved_, 8);
    ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, L",");
  }
  ~DecimalCommaForUser() { ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved_); }

 private:
  wchar_t saved_[8] = {};
};

class ImagesOnWindows : public testing::Test {
 protected:
  std::string SizeLineOf(const std::string& image) {
    corvane::app::ImageInspection inspection(view);
    inspection.OpenImageStream(image);
    inspection.ShowImageSize();
    state = inspection.ImageState();
    return view.info[1];
  }
  testing_support::TempFolder folder;
  doubles::RecordingMainView view;
  std::int16_t state = -1;
};

TEST_F(ImagesOnWindows, SizeLineUsesTheUsersDecimalComma) {
  const std::string image = folder.SparseFile("good.gcm", 1'459'978'240);
  const DecimalCommaForUser comma;
  EXPECT_EQ(SizeLineOf(image), "1459978240 Bytes / 1,36 GB");
  EXPECT_EQ(state, 1);
}

TEST_F(ImagesOnWindows, DvdSizedImageIsOversizeWithItsTrueSize) {
  const std::string image = folder.SparseFile("dvd.gcm", 4'699'979'776);
  EXPECT_EQ(SizeLineOf(image), "4699979776 Bytes / 4.38 GB");
  EXPECT_EQ(view.info[2], "Oversize Image?");
  EXPECT_EQ(state, 2);
}

}  // namespace

// The programs' own versions of the functions through which the standard library throws
// (linked in here as into both programs): misuse of a string or a container still raises an
// exception that a handler of std::exception catches, with the library's message.
TEST(RuntimeOverrides, LibraryMisuseStillThrowsWithTheLibrarysMessage) {
  const std::string text = "ab";
  try {
    static_cast<void>(text.substr(3));
    ADD_FAILURE() << "no exception";
  } catch (const corvane::MessageError& error) {
    EXPECT_STREQ(error.what(),
                 "basic_string::substr: __pos (which is 3) > this->size() (which is 2)");
  }
  std::vector<char> none;
  EXPECT_THROW(static_cast<void>(none.at(0)), corvane::MessageError);
  EXPECT_THROW(none.reserve(none.max_size() + 1), corvane::MessageError);
}
