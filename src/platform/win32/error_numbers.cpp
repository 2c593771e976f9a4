#include "platform/win32/error_numbers.h"

#include "platform/executable.h"
#include "platform/win32/system_message.h"

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

corvane::Error FileError(DWORD systemError, const std::string& path) {
  const std::int32_t number = FileErrorNumber(systemError);
  return corvane::Error(
      number, SystemExecutable().Name(),
      corvane::StandardDescription(number) + ": " + path + " (" + SystemMessage(systemError) + ")");
}

}  // namespace platform::win32
