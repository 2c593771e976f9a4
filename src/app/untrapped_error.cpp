#include "app/untrapped_error.h"

namespace corvane::app {

std::string UntrappedErrorText(const Error& error) {
  return error.Description() + "\r\n\r\nError " + std::to_string(error.Number()) + " (" +
         error.Source() + ")";
}

}  // namespace corvane::app
