#include "platform/posix/errno_error.h"

#include <cerrno>
#include <cstring>

#include "platform/executable.h"

namespace platform::posix {
namespace {

std::int32_t FileErrorNumber(int errorCode) {
  namespace number = corvane::error_number;
  switch (errorCode) {
    case ENOENT:
      return number::kFileNotFound;
    case ENOTDIR:
      return number::kPathNotFound;
    case EACCES:
    case EPERM:
      return number::kPathFileAccessError;
    case EWOULDBLOCK:
      return number::kPermissionDenied;
    case EMFILE:
    case ENFILE:
      return number::kTooManyFiles;
    case ENAMETOOLONG:
    case EISDIR:
      return number::kBadFileName;
    default:
      return number::kDeviceIoError;
  }
}

}  // namespace

corvane::Error FileError(int errorCode, const std::string& path) {
  const std::int32_t number = FileErrorNumber(errorCode);
  return corvane::Error(
      number, SystemExecutable().Name(),
      corvane::StandardDescription(number) + ": " + path + " (" + std::strerror(errorCode) + ")");
}

}  // namespace platform::posix
