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

// Over many images an I/O failure is worst, then an invalid image, then an image that is not
// the listed dump: not the order of the numbers. An unknown code is never hidden.
TEST(WorseExitCode, Orders3Then2Then4Then0) {
  const std::vector<int> best_first = {kExitDone, kExitNotTheListedDump, kExitImageRefused,
                                       kExitIoFailure, kExitUsage};
  for (std::size_t better = 0; better < best_first.size(); ++better) {
    for (std::size_t worse = better; worse < best_first.size(); ++worse) {
      EXPECT_EQ(WorseExitCode(best_first[better], best_first[worse]), best_first[worse]);
      EXPECT_EQ(WorseExitCode(best_first[worse], best_first[better]), best_first[worse]);
    }
  }
}

}  // namespace
}  // namespace kelvore
