#include "support/error.h"

namespace corvane {

std::string StandardDescription(std::int32_t number) {
  switch (number) {
    case error_number::kInvalidArgument:
      return "Invalid procedure call or argument";
    case error_number::kOverflow:
      return "Overflow";
    case error_number::kSubscriptOutOfRange:
      return "Subscript out of range";
    case error_number::kBadFileName:
      return "Bad file name or number";
    case error_number::kFileNotFound:
      return "File not found";
    case error_number::kDeviceIoError:
      return "Device I/O error";
    case error_number::kTooManyFiles:
      return "Too many files";
    case error_number::kPermissionDenied:
      return "Permission denied";
    case error_number::kPathFileAccessError:
      return "Path/File access error";
    case error_number::kPathNotFound:
      return "Path not found";
    default:
      return "Application-defined or object-defined error";
  }
}

Error::Error(std::int32_t number, std::string source, std::optional<std::string> description)
    : MessageError(description ? *description : StandardDescription(number)),
      number_(number),
      source_(std::move(source)),
      description_(what()) {}

}  // namespace corvane
