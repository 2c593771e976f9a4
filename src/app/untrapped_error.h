#pragma once

#include <exception>
#include <string>

#include "support/error.h"

namespace corvane::app {

// The text of the box that reports an error no handler trapped: its description, number
// and source. The program goes on running afterwards.
std::string UntrappedErrorText(const Error& error);

// The text of the box that reports an error that escaped everything and so ends the
// program: the error as the untrapped-error box shows it (a program error with its number
// and source, any other failure by its message), then that the program has to close.
// `error` is the exception that ended the program; null when none did.
std::string TerminationText(const std::exception_ptr& error);

}  // namespace corvane::app
