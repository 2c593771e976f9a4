// How the standard library reports misuse of its strings and containers (a position past the
// end, a length beyond their reach) and failed allocations: its headers call these functions.
// The runtime library's own versions throw std::logic_error and its kin, whose code brings a
// second, reference-counted string implementation into a statically linked program, over a
// fifth of its size. These definitions take their place at link time: the exceptions without
// a message of their own are the same, the others are MessageErrors with the library's
// message, caught wherever a std::exception is.
#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>
#include <utility>

#include "support/message_error.h"

namespace {

// The library's formatted messages hold only %s, %zu and %%, all its own formatter knows.
std::string Formatted(const char* format, va_list arguments) {
  std::string text;
  for (const char* at = format; *at != '\0'; ++at) {
    if (at[0] == '%' && at[1] == 's') {
      text += va_arg(arguments, const char*);
      at += 1;
    } else if (at[0] == '%' && at[1] == 'z' && at[2] == 'u') {
      text += std::to_string(va_arg(arguments, std::size_t));
      at += 2;
    } else if (at[0] == '%' && at[1] == '%') {
      text += '%';
      at += 1;
    } else {
      text += *at;
    }
  }
  return text;
}

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }

void __throw_logic_error(const char* what) { throw corvane::MessageError(what); }
void __throw_domain_error(const char* what) { throw corvane::MessageError(what); }
void __throw_invalid_argument(const char* what) { throw corvane::MessageError(what); }
void __throw_length_error(const char* what) { throw corvane::MessageError(what); }
void __throw_out_of_range(const char* what) { throw corvane::MessageError(what); }
void __throw_runtime_error(const char* what) { throw corvane::MessageError(what); }
void __throw_range_error(const char* what) { throw corvane::MessageError(what); }
void __throw_overflow_error(const char* what) { throw corvane::MessageError(what); }
void __throw_underflow_error(const char* what) { throw corvane::MessageError(what); }

void __throw_out_of_range_fmt(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string text = Formatted(format, arguments);
  va_end(arguments);
  throw corvane::MessageError(std::move(text));
}

}  // namespace std
