#include "kelvore/tool/exit_codes.h"

#include <gtest/gtest.h>

#include "kelvore/tests/recording_console.h"

namespace kelvore {
namespace {

using testkit::RecordingConsole;

struct Checked {
  int exit_code;
  std::string errors;
};

Checked Check(int exit_code, std::optional<LostOutput> lost) {
  RecordingConsole console;
  console.lost = std::move(lost);
  return {ReportExitCode(exit_code, console), console.AllErrors()};
}

// Output that arrived leaves any code alone; lost output turns success into an input/output
// failure, saying why unless nobody wanted the rest; a refusal keeps its code.
TEST(ReportExitCode, FailsAReportWhoseOutputWasLost) {
  for (const int code : {kExitDone, kExitImageRefused, kExitIoFailure}) {
    EXPECT_EQ(Check(code, {}).exit_code, code);
    EXPECT_EQ(Check(code, {}).errors, "");
  }
  const LostOutput full{.reader_gone = false, .reason = "No space left on device"};
  const std::string said =
      "Error: Writing to standard output failed (No space left on device), so what it received "
      "is incomplete.\n";
  EXPECT_EQ(Check(kExitDone, full).exit_code, kExitIoFailure);
  EXPECT_EQ(Check(kExitDone, full).errors, said);
  EXPECT_EQ(Check(kExitImageRefused, full).exit_code, kExitImageRefused);
  EXPECT_EQ(Check(kExitImageRefused, full).errors, said);

  const LostOutput gone{.reader_gone = true, .reason = "Broken pipe"};
  EXPECT_EQ(Check(kExitDone, gone).exit_code, kExitIoFailure);
  EXPECT_EQ(Check(kExitDone, gone).errors, "");
  EXPECT_EQ(Check(kExitImageRefused, gone).exit_code, kExitImageRefused);
}

}  // namespace
}  // namespace kelvore
