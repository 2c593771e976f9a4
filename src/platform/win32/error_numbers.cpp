#include "platform/win32/error_numbers.h"

#include "platform/executable.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {

std::int32_t FileErrorNumber(DWORD systemError) {
  namespace number = corvane::error_number;
  switch (systemError) {
    case ERROR_FILE_NOT_FOUND:
      return number::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
      return number::kPathNotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return number::kPermissionDenied;
    case ERROR_ACCESS_DENIED:
      return number::kPathFileAccessError;
    case ERROR_TOO_MANY_OPEN_FILES:
      return number::kTooManyFiles;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
      return number::kBadFileName;
    default:
      return number::kDeviceIoError;
  }
}

std::string SystemMessage(DWORD systemError) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, systemError, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text ? text : L"", length);
  if (text) ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L' ' || message.back() == L'.')) {
    message.pop_back();
  }
  if (message.empty()) return "System error " + std::to_string(systemError);
  return Narrow(message);
}

corvane::Error FileError(DWORD systemError, const std::string& path) {
  const std::int32_t number = FileErrorNumber(systemError);
  return corvane::Error(
      number, SystemExecutable().Name(),
      corvane::StandardDescription(number) + ": " + path + " (" + SystemMessage(systemError) + ")");
}

}  // namespace platform::win32
