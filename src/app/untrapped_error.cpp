#include "app/untrapped_error.h"

namespace corvane::app {
namespace {

constexpr const char* kProgramCloses = "\r\n\r\nCorvane has to close.";

// The exception's own text, as the untrapped-error box gives it.
std::string ExceptionText(const std::exception_ptr& error) {
  if (!error) return "An internal error stopped the program.";
  try {
    std::rethrow_exception(error);
  } catch (const Error& programError) {
    return UntrappedErrorText(programError);
  } catch (const std::exception& failure) {
    return failure.what();
  } catch (...) {
  }
  return "An unknown error stopped the program.";
}

}  // namespace

std::string UntrappedErrorText(const Error& error) {
  return error.Description() + "\r\n\r\nError " + std::to_string(error.Number()) + " (" +
         error.Source() + ")";
}

std::string TerminationText(const std::exception_ptr& error) {
  return ExceptionText(error) + kProgramCloses;
}

}  // namespace corvane::app
