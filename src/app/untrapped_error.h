#pragma once

#include <string>

#include "support/error.h"

namespace corvane::app {

// The text of the box that reports an error no handler trapped: its description, number
// and source. The program goes on running afterwards.
std::string UntrappedErrorText(const Error& error);

}  // namespace corvane::app
