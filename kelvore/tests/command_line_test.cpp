#include "kelvore/tool/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
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

// Corvane writes its two letter slots whatever letters kelvore reads: with more letters in
// kelvore's table, its lines read as before, an unquoted image path with blanks included.
TEST(CorvaneCommandLine, KeepsItsTwoLetterSlotsWhateverLettersTheToolReads) {
  std::vector<OptionLetter> more(kOptionLetters.begin(), kOptionLetters.end());
  more.insert(more.begin() + 1, {"x", "", "", &LayoutOptions::align_all_files});
  more.push_back({"y", "", "", &LayoutOptions::isolate_streaming_audio});
  const std::string image = "D:\\My Games\\Disc One f.gcm";
  for (char mode : {'f', 'g'}) {
    for (bool align : {false, true}) {
      for (bool stream : {false, true}) {
        const std::string line = CorvaneLine(kTool, image, mode, align, stream);
        SCOPED_TRACE("[" + line + "]");
        Args expected{image, std::string(1, mode)};
        if (align) expected.push_back("t");
        if (stream) expected.push_back("s");
        EXPECT_EQ(ArgumentsFromCommandLine(line, kTool, more), expected);
        EXPECT_EQ(ArgumentsFromCommandLine(line, kTool), expected);
      }
    }
  }
  // A slot holds only a letter kelvore reads: without s, a line with s is an ordinary one.
  const std::vector<OptionLetter> only_t(kOptionLetters.begin(), kOptionLetters.begin() + 1);
  EXPECT_EQ(
      ArgumentsFromCommandLine(CorvaneLine(kTool, "D:\\A B.gcm", 'f', false, true), kTool, only_t),
      (Args{"D:\\A", "B.gcm", "f", "s"}));
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
}

// Options stand before `--`: after it, an option's word is refused as an operand, with a
// hint that only a word looking like an option gets.
TEST(ParseArguments, OptionWordsAfterDoubleDashAreRefusedWithAHint) {
  constexpr std::string_view kHint =
      " Every word after -- is IMAGE, the mode or a letter; options stand before it.";
  const std::vector<std::pair<Args, std::string>> hinted = {
      {{"--", "x.gcm", "f", "-o", "y.gcm"}, "Unexpected \"-o\": only t and s may follow the mode."},
      {{"--", "-x.gcm", "--info"}, "The mode must be f or g, not \"--info\"."},
      {{"--hash", "--", "-x.gcm", "--info"}, "\"--info\" is one too many."},
  };
  for (const auto& [args, reason] : hinted) {
    const Command command = ParseArguments(args);
    ASSERT_TRUE(std::holds_alternative<UsageError>(command)) << reason;
    EXPECT_TRUE(std::get<UsageError>(command).message.ends_with(reason + std::string(kHint)))
        << std::get<UsageError>(command).message;
  }
  for (const Args& plain :
       {Args{"--", "x.gcm", "f", "-"}, Args{"x.gcm", "q"}, Args{"--info", "x.gcm", "y.gcm"}}) {
    const Command command = ParseArguments(plain);
    ASSERT_TRUE(std::holds_alternative<UsageError>(command));
    EXPECT_EQ(std::get<UsageError>(command).message.find("options stand"), std::string::npos)
        << std::get<UsageError>(command).message;
  }
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
      help.find("\n  t            start every file on a 32 KiB boundary\n"
                "  s            start streaming audio files (.adp, .dtk) on 32 KiB and keep the\n"
                "               rest of their last 32 KiB block empty\n"
                "  --ciso "),
      std::string::npos)
      << help;
}

// The usage lines of `text` after the program's name: "Usage: kelvore ..." and the lines
// under it that name the program at the same column.
std::vector<std::string> UsageLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream text_lines(text);
  for (std::string line; std::getline(text_lines, line);) {
    if (line.starts_with("Usage: kelvore ") || line.starts_with("       kelvore ")) {
      lines.push_back(line.substr(15));
    }
  }
  return lines;
}

// Every command line a usage line shows: each "[...]" there or not, one of each "a|b" and
// of each "a | b". IMAGE becomes "x.gcm", or "-x.gcm" after a "--", and OUTPUT "-y.gcm".
std::vector<Args> Examples(const std::string& usage) {
  std::vector<std::vector<Args>> choices;  // per part of the line, its possible words
  bool alternative_follows = false;
  std::istringstream words(usage);
  for (std::string word; words >> word;) {
    std::vector<Args> part;
    if (word == "|") {
      alternative_follows = true;
      continue;
    }
    if (word.starts_with("[")) {
      Args inside{word.substr(1)};
      while (!inside.back().ends_with("]") && words >> word) inside.push_back(word);
      inside.back().pop_back();
      part = {{}, inside};
    } else {
      for (std::size_t bar; (bar = word.find('|')) != std::string::npos; word.erase(0, bar + 1)) {
        part.push_back({word.substr(0, bar)});
      }
      part.push_back({word});
    }
    if (alternative_follows) {
      choices.back().insert(choices.back().end(), part.begin(), part.end());
      alternative_follows = false;
    } else {
      choices.push_back(part);
    }
  }
  std::vector<Args> examples{{}};
  for (const std::vector<Args>& part : choices) {
    std::vector<Args> longer;
    for (const Args& start : examples) {
      for (const Args& choice : part) {
        Args example = start;
        for (const std::string& word : choice) {
          const bool guarded = std::find(example.begin(), example.end(), "--") != example.end();
          example.push_back(word == "IMAGE"    ? (guarded ? "-x.gcm" : "x.gcm")
                            : word == "OUTPUT" ? "-y.gcm"
                                               : word);
        }
        longer.push_back(example);
      }
    }
    examples = longer;
  }
  return examples;
}

bool Holds(const Args& args, const std::string& word) {
  return std::find(args.begin(), args.end(), word) != args.end();
}

// What an example of a usage line asks for, read from its words alone.
void ExpectReadAsShown(const Args& example) {
  const Command command = ParseArguments(example);
  const std::string image = Holds(example, "--") ? "-x.gcm" : "x.gcm";
  if (Holds(example, "--help") || Holds(example, "--version")) {
    EXPECT_TRUE(Holds(example, "--help") ? std::holds_alternative<ShowHelp>(command)
                                         : std::holds_alternative<ShowVersion>(command));
  } else if (Holds(example, "f") || Holds(example, "g")) {
    const auto* rebuild = std::get_if<RebuildRequest>(&command);
    ASSERT_NE(rebuild, nullptr);
    EXPECT_EQ(rebuild->image, image);
    EXPECT_EQ(rebuild->mode, Holds(example, "f") ? ImageMode::kStandard : ImageMode::kLarge);
    EXPECT_EQ(rebuild->options.align_all_files, Holds(example, "t"));
    EXPECT_EQ(rebuild->options.isolate_streaming_audio, Holds(example, "s"));
    EXPECT_EQ(rebuild->output,
              Holds(example, "-o") ? std::optional<std::string>("-y.gcm") : std::nullopt);
    EXPECT_EQ(rebuild->verify, !Holds(example, "--no-verify"));
    EXPECT_EQ(rebuild->ciso, Holds(example, "--ciso"));
  } else {
    const auto* inspection = std::get_if<InspectRequest>(&command);
    ASSERT_NE(inspection, nullptr);
    EXPECT_EQ(inspection->image, image);
    // The image named alone gets the report.
    EXPECT_EQ(inspection->info, Holds(example, "--info") || !Holds(example, "--hash"));
    EXPECT_EQ(inspection->hash, Holds(example, "--hash"));
  }
}

TEST(Usage, EveryLineWorksAsPrinted) {
  const std::vector<std::string> lines = UsageLines(HelpText());
  ASSERT_EQ(lines.size(), 3u) << HelpText();
  std::size_t examples = 0;
  for (const std::string& line : lines) {
    for (const Args& example : Examples(line)) {
      std::string shown;
      for (const std::string& word : example) shown += " " + word;
      SCOPED_TRACE("kelvore" + shown);
      ExpectReadAsShown(example);
      ++examples;
    }
  }
  EXPECT_EQ(examples, 128u + 8u + 2u);
  // After an error, the forms that do something, as --help shows them.
  EXPECT_EQ(UsageLines(ShortUsage()), std::vector<std::string>(lines.begin(), lines.end() - 1));
}

TEST(ParseArguments, HelpAndVersionWinOverEverythingElse) {
  EXPECT_TRUE(std::holds_alternative<ShowHelp>(ParseArguments({"x.gcm", "--help"})));
  EXPECT_TRUE(std::holds_alternative<ShowVersion>(ParseArguments({"--version", "x.gcm", "q"})));
}

TEST(ParseArguments, RefusesAnythingElseWithAReason) {
  const std::vector<std::pair<Args, std::string>> cases = {
      {{}, "Missing IMAGE and the mode (f or g)."},
      {{"x.gcm", "--no-verify"}, "Missing the mode (f or g) after the image."},
      {{"-o", "y.gcm", "x.gcm"}, "Missing the mode (f or g) after the image."},
      {{"x.gcm", "F"}, "The mode must be f or g, not \"F\"."},
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
      {{"x.gcm", "\x1B[2Jf"}, "The mode must be f or g, not \"\\x1B[2Jf\""},
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
