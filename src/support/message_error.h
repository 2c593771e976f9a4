#pragma once

#include <exception>
#include <string>

namespace corvane {

// An exception that carries its message as a plain string. Both programs' error types
// derive from it rather than from std::runtime_error, which keeps its message in a second,
// reference-counted string type whose code would be linked into each program for nothing.
class MessageError : public std::exception {
 public:
  explicit MessageError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace corvane
