#include "kelvore/tool/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kelvore/tool/usage.h"
#include "kelvore/tool/windows_command_line.h"

namespace kelvore {
namespace {

using Args = std::vector<std::string>;

constexpr const char* kTool = "C:\\Tools\\kelvore.exe";

// The line Corvane composes: tool path, a blank, the image, " f " or " g ", the "t" letter or
// nothing, a blank, the "s" letter or nothing.
std::string CorvaneLine(const std::string& tool, const std::string& image, char mode, bool align,
                        bool stream) {
  return tool + " " + image + " " + mode + " " + (align ? "t" : "") + " " + (stream ? "s" : "");
}

RebuildRequest ParseRequest(const Args& args) {
  const Command command = ParseArguments(args);
  const auto* request = std::get_if<RebuildRequest>(&command);
  if (request == nullptr) {
    ADD_FAILURE() << "not a rebuild request";
    return {};
  }
  return *request;
}

TEST(CorvaneCommandLine, EveryComposedLineIsReadRight) {
  for (char mode : {'f', 'g'}) {
    for (bool align : {false, true}) {
      for (bool stream : {false, true}) {
        const std::string line = CorvaneLine(kTool, "C:\\GAMES\\DISC~1.GCM", mode, align, stream);
        SCOPED_TRACE("[" + line + "]");
        const RebuildRequest request = ParseRequest(ArgumentsFromCommandLine(line, kTool));
        EXPECT_EQ(request.image, "C:\\GAMES\\DISC~1.GCM");
        EXPECT_EQ(request.mode, mode == 'f' ? ImageMode::kStandard : ImageMode::kLarge);
        EXPECT_EQ(request.options.align_all_files, align);
        EXPECT_EQ(request.options.isolate_streaming_audio, stream);
        EXPECT_TRUE(request.verify);
        EXPECT_FALSE(request.output);
      }
    }
  }
}

TEST(CorvaneCommandLine, UnquotedToolFolderWithBlanksIsSkippedWhole) {
  const std::string tool = "C:\\Program Files\\Corvane\\kelvore.exe";
  EXPECT_EQ(ArgumentsFromCommandLine(CorvaneLine(tool, "C:\\PROGRA~1\\DISC~1.GCM", 'g', true, true),
                                     "c:\\program files\\corvane\\KELVORE.EXE"),
            (Args{"C:\\PROGRA~1\\DISC~1.GCM", "g", "t", "s"}));
}

TEST(CorvaneCommandLine, ImagePathWithBlanksIsKeptWholeWhenTheVolumeHasNoShortNames) {
  EXPECT_EQ(ArgumentsFromCommandLine(
                CorvaneLine(kTool, "D:\\My Games\\Disc One f.gcm", 'f', false, false), kTool),
            (Args{"D:\\My Games\\Disc One f.gcm", "f"}));
  EXPECT_EQ(ArgumentsFromCommandLine(
                CorvaneLine(kTool, "D:\\My Games\\Disc One.gcm", 'g', false, true), kTool),
            (Args{"D:\\My Games\\Disc One.gcm", "g", "s"}));
}

TEST(CorvaneCommandLine, OtherLinesSplitLikeAnyWindowsProgram) {
  EXPECT_EQ(ArgumentsFromCommandLine(
                "\"C:\\Program Files\\kelvore.exe\" \"D:\\My Games\\x.gcm\" g -o \"D:\\out "
                "dir\\y.gcm\" --no-verify",
                "C:\\Program Files\\kelvore.exe"),
            (Args{"D:\\My Games\\x.gcm", "g", "-o", "D:\\out dir\\y.gcm", "--no-verify"}));
  // Corvane quotes pieces that hold blanks; the doubled and trailing blanks stay harmless.
  EXPECT_EQ(
      ArgumentsFromCommandLine("\"C:\\Program Files\\kelvore.exe\" \"D:\\My Games\\x.gcm\" f  ",
                               "C:\\Program Files\\kelvore.exe"),
      (Args{"D:\\My Games\\x.gcm", "f"}));
  EXPECT_EQ(ArgumentsFromCommandLine("kelvore   x.gcm\tf  t", "C:\\elsewhere\\kelvore.exe"),
            (Args{"x.gcm", "f", "t"}));
  EXPECT_EQ(ArgumentsFromCommandLine("kelvore.exe", "C:\\kelvore.exe"), Args{});
  // A first word that only begins with the tool's own path is another program's path.
  EXPECT_EQ(ArgumentsFromCommandLine("C:\\k\\kelvore.exeX img f", "C:\\k\\kelvore.exe"),
            (Args{"img", "f"}));
}

TEST(CorvaneCommandLine, OptionWordsAnywhereMakeAnOrdinaryLine) {
  EXPECT_EQ(ArgumentsFromCommandLine("kelvore.exe --no-verify C:\\games\\x.gcm f t s", kTool),
            (Args{"--no-verify", "C:\\games\\x.gcm", "f", "t", "s"}));
  const RebuildRequest request = ParseRequest(
      ArgumentsFromCommandLine("kelvore.exe -o D:\\out.gcm C:\\games\\x.gcm g t s", kTool));
  EXPECT_EQ(request.image, "C:\\games\\x.gcm");
  EXPECT_EQ(request.output, "D:\\out.gcm");
  EXPECT_EQ(request.mode, ImageMode::kLarge);
  EXPECT_TRUE(request.options.align_all_files && request.options.isolate_streaming_audio);
}

TEST(SplitWindowsArguments, FollowsTheQuoteAndBackslashRules) {
  EXPECT_EQ(SplitWindowsArguments(R"(a\\"b c" d)"), (Args{R"(a\b c)", "d"}));
  EXPECT_EQ(SplitWindowsArguments(R"(a\\\"b c)"), (Args{R"(a\"b)", "c"}));
  EXPECT_EQ(SplitWindowsArguments(R"(C:\dir\ "x"y "")"), (Args{R"(C:\dir\)", "xy", ""}));
  EXPECT_EQ(SplitWindowsArguments(R"("say ""hi""")"), (Args{R"(say "hi")"}));
  EXPECT_EQ(SplitWindowsArguments("  \t "), Args{});
}

TEST(ParseArguments, ReadsOptionsAnywhere) {
  const RebuildRequest request = ParseRequest({"-o", "out.gcm", "in.gcm", "g", "--no-verify", "s"});
  EXPECT_FALSE(request.ciso);
  EXPECT_TRUE(ParseRequest({"in.gcm", "--ciso", "f"}).ciso);
  EXPECT_TRUE(ParseRequest({"in.gcm", "f", "t", "--ciso"}).options.align_all_files);
  EXPECT_EQ(request.image, "in.gcm");
  EXPECT_EQ(request.mode, ImageMode::kLarge);
  EXPECT_FALSE(request.options.align_all_files);
  EXPECT_TRUE(request.options.isolate_streaming_audio);
  EXPECT_EQ(request.output, "out.gcm");
  EXPECT_FALSE(request.verify);
}

TEST(ParseArguments, DoubleDashEndsTheOptions) {
  const RebuildRequest request = ParseRequest({"--no-verify", "--", "-x", "f", "t"});
  EXPECT_EQ(request.image, "-x");
  EXPECT_FALSE(request.verify);
  EXPECT_TRUE(request.options.align_all_files);
  EXPECT_EQ(ParseRequest({"--", "--help", "g"}).image, "--help");
  EXPECT_EQ(ParseRequest({"x.gcm", "--", "f"}).mode, ImageMode::kStandard);
  const Command after = ParseArguments({"--", "x.gcm", "f", "-o", "y.gcm"});
  ASSERT_TRUE(std::holds_alternative<UsageError>(after));
  EXPECT_NE(std::get<UsageError>(after).message.find("Unexpected \"-o\""), std::string::npos);
}

TEST(ParseArguments, InfoAndHashTakeTheImageAlone) {
  const Command both = ParseArguments({"--hash", "x.gcm", "--info"});
  ASSERT_TRUE(std::holds_alternative<InspectRequest>(both));
  EXPECT_EQ(std::get<InspectRequest>(both).image, "x.gcm");
  EXPECT_TRUE(std::get<InspectRequest>(both).info && std::get<InspectRequest>(both).hash);
  const Command hash = ParseArguments({"--hash", "--", "-x"});
  ASSERT_TRUE(std::holds_alternative<InspectRequest>(hash));
  EXPECT_EQ(std::get<InspectRequest>(hash).image, "-x");
  EXPECT_FALSE(std::get<InspectRequest>(hash).info);

  const std::vector<std::pair<Args, std::string>> refused = {
      {{"x.gcm", "f", "--info"}, "\"f\" is one too many"},
      {{"x.gcm", "--hash", "t"}, "\"t\" is one too many"},
      {{"x.gcm", "--info", "-o", "y.gcm"}, "-o, --no-verify and --ciso belong to a rebuild"},
      {{"--no-verify", "x.gcm", "--hash"}, "-o, --no-verify and --ciso belong to a rebuild"},
      {{"x.gcm", "--ciso", "--hash"}, "-o, --no-verify and --ciso belong to a rebuild"},
      {{"--info"}, "Missing IMAGE."},
  };
  for (const auto& [args, reason] : refused) {
    const Command command = ParseArguments(args);
    ASSERT_TRUE(std::holds_alternative<UsageError>(command)) << reason;
    EXPECT_NE(std::get<UsageError>(command).message.find(reason), std::string::npos)
        << std::get<UsageError>(command).message;
  }
}

// The letters' table makes the help text's lines for them, in the order Corvane writes them.
TEST(HelpText, DescribesEachOptionLetterOnItsOwnLines) {
  const std::string help = HelpText();
  EXPECT_NE(
      help.find("Usage: kelvore [--] IMAGE MODE [t] [s] [--ciso] [-o OUTPUT] [--no-verify]\n"),
      std::string::npos);
  EXPECT_NE(
      help.find("\n  t            start every file on a 32 KiB boundary\n"
                "  s            start streaming audio files (.adp, .dtk) on 32 KiB and keep the\n"
                "               rest of their last 32 KiB block empty\n"
                "  --ciso "),
      std::string::npos)
      << help;
}

TEST(ParseArguments, HelpAndVersionWinOverEverythingElse) {
  EXPECT_TRUE(std::holds_alternative<ShowHelp>(ParseArguments({"x.gcm", "--help"})));
  EXPECT_TRUE(std::holds_alternative<ShowVersion>(ParseArguments({"--version", "x.gcm", "q"})));
}

TEST(ParseArguments, RefusesAnythingElseWithAReason) {
  const std::vector<std::pair<Args, std::string>> cases = {
      {{}, "Missing IMAGE and MODE"},
      {{"x.gcm"}, "Missing MODE"},
      {{"x.gcm", "F"}, "MODE must be f or g, not \"F\""},
      {{"", "f"}, "image name is empty"},
      {{"x.gcm", "f", "t", "t"}, "Option t is given twice"},
      {{"x.gcm", "f", "s", "t", "s"}, "Option s is given twice"},
      {{"x.gcm", "f", "ts"}, "Unexpected \"ts\""},
      {{"x.gcm", "f", "t", "extra"}, "Unexpected \"extra\""},
      {{"x.gcm", "f", "-o"}, "-o needs"},
      {{"x.gcm", "f", "-o", ""}, "-o needs"},
      {{"x.gcm", "f", "-o", "a", "-o", "b"}, "-o is given twice"},
      {{"x.gcm", "f", "--fast"}, "Unknown option \"--fast\""},
      {{"x.gcm", "f", "/?"}, "Unexpected \"/?\""},
      // Arguments are shown with their control characters escaped.
      {{"x.gcm", "\x1B[2Jf"}, "MODE must be f or g, not \"\\x1B[2Jf\""},
      {{"x.gcm", "f", "--\nDone"}, "Unknown option \"--\\x0ADone\""},
  };
  for (const auto& [args, reason] : cases) {
    const Command command = ParseArguments(args);
    const auto* error = std::get_if<UsageError>(&command);
    ASSERT_NE(error, nullptr) << reason;
    EXPECT_NE(error->message.find(reason), std::string::npos) << error->message;
  }
}

}  // namespace
}  // namespace kelvore
