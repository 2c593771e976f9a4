#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "support/error.h"

namespace dialogs_testing {

// Expects `action` to raise error `number`.
template <typename Action>
void ExpectError(Action action, std::int32_t number) {
  try {
    action();
    ADD_FAILURE() << "expected error " << number;
  } catch (const corvane::Error& error) {
    EXPECT_EQ(error.Number(), number);
  }
}

}  // namespace dialogs_testing
