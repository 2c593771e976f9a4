#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "support/message_error.h"

namespace corvane {

// Error numbers the program raises itself; the platform may raise others.
namespace error_number {
inline constexpr std::int32_t kInvalidArgument = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kBadFileName = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kTooManyFiles = 67;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
}  // namespace error_number

// The standard text for an error number ("File not found" for 53, ...).
std::string StandardDescription(std::int32_t number);

// An error object as the program raises it: a number, the source that raised it
// ("Corvane.File", ...) and a description. Without a description of its own the
// standard text for the number applies.
class Error : public MessageError {
 public:
  Error(std::int32_t number, std::string source,
        std::optional<std::string> description = std::nullopt);

  std::int32_t Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

}  // namespace corvane
