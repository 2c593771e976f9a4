#include "kelvore/tool/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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

// Several unquoted images before the mode end a line as Corvane's does; its one path with
// blanks is meant only where it names something and its words do not all do.
TEST(CorvaneCommandLine, ItsFormIsReadAsOnePathOnlyWhereThatNamesAFile) {
  const std::string line = "kelvore.exe D:\\My Games\\x.gcm D:\\y.gcm f t s";
  const Args joined{"D:\\My Games\\x.gcm D:\\y.gcm", "f", "t", "s"};
  const Args separate{"D:\\My", "Games\\x.gcm", "D:\\y.gcm", "f", "t", "s"};
  const auto existing = [](std::vector<std::string> paths) {
    return [paths](const std::string& path) {
      return std::find(paths.begin(), paths.end(), path) != paths.end();
    };
  };
  EXPECT_EQ(ArgumentsFromCommandLine(line, kTool), joined);
  EXPECT_EQ(ArgumentsFromCommandLine(line, kTool, kOptionLetters, existing({joined[0]})), joined);
  EXPECT_EQ(ArgumentsFromCommandLine(line, kTool, kOptionLetters, existing({})), separate);
  EXPECT_EQ(ArgumentsFromCommandLine(line, kTool, kOptionLetters,
                                     existing({joined[0], "D:\\My", "Games\\x.gcm", "D:\\y.gcm"})),
            separate);
  EXPECT_EQ(ArgumentsFromCommandLine(line, kTool, kOptionLetters,
                                     existing({joined[0], "D:\\My", "D:\\y.gcm"})),
            joined);
  // Two images without blanks, in the same form, are two images.
  const Command two = ParseArguments(
      ArgumentsFromCommandLine("kelvore.exe C:\\a.gcm C:\\b.gcm g  ", kTool, kOptionLetters,
                               existing({"C:\\a.gcm", "C:\\b.gcm"})));
  ASSERT_TRUE(std::holds_alternative<BatchRequest>(two));
  EXPECT_EQ(std::get<BatchRequest>(two).images, (Args{"C:\\a.gcm", "C:\\b.gcm"}));
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
// of each "a | b". IMAGE (and IMAGE...) becomes "x.gcm", or "-x.gcm" after a "--", OUTPUT
// "-y.gcm" and FOLDER "-sd".
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
          const bool image = word == "IMAGE" || word == "IMAGE...";
          example.push_back(image              ? (guarded ? "-x.gcm" : "x.gcm")
                            : word == "OUTPUT" ? "-y.gcm"
                            : word == "FOLDER" ? "-sd"
                            : word == "FILE"   ? "-list.dat"
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
    // --games places each image by what it is: a batch, even of one image.
    const auto* batch = std::get_if<BatchRequest>(&command);
    ASSERT_EQ(batch != nullptr, Holds(example, "--games"));
    if (batch != nullptr) {
      EXPECT_EQ(batch->images, Args{image});
      EXPECT_EQ(batch->games_folder, "-sd");
    }
    const auto* rebuild = batch != nullptr ? std::get_if<RebuildRequest>(&batch->each)
                                           : std::get_if<RebuildRequest>(&command);
    ASSERT_NE(rebuild, nullptr);
    if (batch == nullptr) {
      EXPECT_EQ(rebuild->image, image);
    }
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
    // The image named alone gets the report; with --dat, the verdict alone.
    EXPECT_EQ(inspection->info,
              Holds(example, "--info") || (!Holds(example, "--hash") && !Holds(example, "--dat")));
    EXPECT_EQ(inspection->hash, Holds(example, "--hash"));
    EXPECT_EQ(inspection->dump_list,
              Holds(example, "--dat") ? std::optional<std::string>("-list.dat") : std::nullopt);
  }
}

TEST(Usage, EveryLineWorksAsPrinted) {
  const std::vector<std::string> lines = UsageLines(HelpText());
  ASSERT_EQ(lines.size(), 4u) << HelpText();
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
  EXPECT_EQ(examples, 128u + 64u + 16u + 2u);
  // After an error, the forms that do something, as --help shows them.
  EXPECT_EQ(UsageLines(ShortUsage()), std::vector<std::string>(lines.begin(), lines.end() - 1));
}

BatchRequest ParseBatch(const Args& args,
                        const std::function<bool(const std::string&)>& names = {}) {
  const Command command = ParseArguments(args, names);
  if (const auto* error = std::get_if<UsageError>(&command)) ADD_FAILURE() << error->message;
  const auto* batch = std::get_if<BatchRequest>(&command);
  if (batch == nullptr) {
    ADD_FAILURE() << "not a batch";
    return {};
  }
  return *batch;
}

std::string UsageMessage(const Args& args,
                         const std::function<bool(const std::string&)>& names = {}) {
  const Command command = ParseArguments(args, names);
  const auto* error = std::get_if<UsageError>(&command);
  return error != nullptr ? error->message : "(accepted)";
}

// Every word before the mode is an image, whatever it looks like after `--`; one image alone
// keeps the request it always was, anything more is a batch that does the same to each.
TEST(ParseArguments, SeveralImagesStandBeforeTheMode) {
  const BatchRequest batch =
      ParseBatch({"a.gcm", "--ciso", "-o", "out", "--", "-b.iso", "dir", "g", "s"});
  EXPECT_EQ(batch.images, (Args{"a.gcm", "-b.iso", "dir"}));
  EXPECT_EQ(batch.games_folder, std::nullopt);
  const auto& each = std::get<RebuildRequest>(batch.each);
  EXPECT_EQ(each.mode, ImageMode::kLarge);
  EXPECT_TRUE(each.options.isolate_streaming_audio && !each.options.align_all_files);
  EXPECT_EQ(each.output, "out");
  EXPECT_TRUE(each.ciso);

  const BatchRequest games = ParseBatch({"--games", "sd", "a.gcm", "f", "--no-verify"});
  EXPECT_EQ(games.images, Args{"a.gcm"});
  EXPECT_EQ(games.games_folder, "sd");
  EXPECT_FALSE(std::get<RebuildRequest>(games.each).verify);

  EXPECT_EQ(UsageMessage({"--games", "sd", "-o", "x", "a.gcm", "f"}),
            "Give -o or --games, not both.");
  EXPECT_EQ(UsageMessage({"--games", "sd", "a.gcm", "--info"}),
            "--games belongs to a rebuild, not to --info or --hash.");
  EXPECT_EQ(UsageMessage({"a.gcm", "f", "--games"}), "--games needs the folder the loaders read.");
}

// A mode or a letter alone is never an image, before `--` or after it: an image of that
// name is written ./f. One word alone is the image, as it always was.
TEST(ParseArguments, ImagesNamedLikeTheModeOrALetterAreWrittenWithTheirFolder) {
  EXPECT_EQ(ParseBatch({"./f", "./t", "g", "t"}).images, (Args{"./f", "./t"}));
  EXPECT_EQ(UsageMessage({"a.gcm", "t", "f"}),
            "\"t\" stands before the mode, where only images do; an image named t is written ./t.");
  EXPECT_EQ(UsageMessage({"--", "a.gcm", "f", "g"}),
            "\"f\" stands before the mode, where only images do; an image named f is written ./f.");
  EXPECT_EQ(UsageMessage({"f", "s"}), "Missing IMAGE before the mode.");
  EXPECT_EQ(UsageMessage({"a.gcm", "g", "f", "x.gcm"}),
            "Unexpected \"x.gcm\": only t and s may follow the mode.");
  EXPECT_EQ(std::get<InspectRequest>(ParseArguments({"f"})).image, "f");
  const auto anything = [](const std::string&) { return true; };
  EXPECT_EQ(
      UsageMessage({"--hash", "x.gcm", "s"}, anything),
      "--info, --hash and --dat take images alone, without a mode or letters: \"s\" is one too "
      "many.");
  EXPECT_EQ(ParseBatch({"--hash", "x.gcm", "./s"}, anything).images, (Args{"x.gcm", "./s"}));
}

// Without a mode, several words are images to report on only when the last names something;
// else they are read as a rebuild whose mode is mistyped, or one word too many.
TEST(ParseArguments, WithoutAModeTheLastOfSeveralWordsMustNameSomething) {
  const auto names = [](const std::string& word) { return word.starts_with("there"); };
  const BatchRequest reports = ParseBatch({"x.gcm", "there.gcm"}, names);
  EXPECT_EQ(reports.images, (Args{"x.gcm", "there.gcm"}));
  EXPECT_TRUE(std::get<InspectRequest>(reports.each).info);
  EXPECT_FALSE(std::get<InspectRequest>(reports.each).hash);
  const BatchRequest hashes = ParseBatch({"--hash", "x.gcm", "there"}, names);
  EXPECT_FALSE(std::get<InspectRequest>(hashes.each).info);
  EXPECT_TRUE(std::get<InspectRequest>(hashes.each).hash);

  EXPECT_EQ(UsageMessage({"there.gcm", "F"}, names), "The mode must be f or g, not \"F\".");
  EXPECT_EQ(UsageMessage({"x.gcm", "there.gcm"}), "The mode must be f or g, not \"there.gcm\".");
  EXPECT_EQ(UsageMessage({"a.gcm", "there.gcm", "--ciso"}, names),
            "The mode must be f or g, not \"there.gcm\".");
  EXPECT_EQ(UsageMessage({"a.gcm", "t", "s", "there.gcm"}, names),
            "The mode must be f or g, not \"t\".");
  EXPECT_EQ(UsageMessage({"--info", "there", "x.gcm"}, names),
            "--info, --hash and --dat take images alone, without a mode or letters, and nothing is "
            "named \"x.gcm\": \"x.gcm\" is one too many.");
}

// --dat checks images as they are, with or without the report and the sums, and never
// a rebuild, whose new image is never the listed dump.
TEST(ParseArguments, DatChecksImagesAsTheyAreAndRefusesARebuild) {
  const auto anything = [](const std::string&) { return true; };
  const Command alone = ParseArguments({"--dat", "list.dat", "x.gcm"});
  ASSERT_TRUE(std::holds_alternative<InspectRequest>(alone));
  EXPECT_EQ(std::get<InspectRequest>(alone).dump_list, "list.dat");
  EXPECT_FALSE(std::get<InspectRequest>(alone).info || std::get<InspectRequest>(alone).hash);
  const BatchRequest many = ParseBatch({"x.gcm", "--info", "--dat", "l.dat", "y.gcm"}, anything);
  EXPECT_EQ(many.images, (Args{"x.gcm", "y.gcm"}));
  const auto& each = std::get<InspectRequest>(many.each);
  EXPECT_TRUE(each.info && !each.hash);
  EXPECT_EQ(each.dump_list, "l.dat");

  const std::string rebuild =
      "--dat checks an image as it is, and a rebuilt one is never the listed dump: rebuild "
      "without --dat, and check the new image afterwards.";
  EXPECT_EQ(UsageMessage({"--dat", "l.dat", "x.gcm", "f", "s"}), rebuild);
  EXPECT_EQ(UsageMessage({"x.gcm", "y.gcm", "g", "--dat", "l.dat"}), rebuild);
  EXPECT_EQ(UsageMessage({"--dat", "l.dat", "-o", "y.gcm", "x.gcm"}), rebuild);
  EXPECT_EQ(UsageMessage({"--dat", "l.dat", "--hash", "--games", "sd", "x.gcm"}), rebuild);
  EXPECT_EQ(UsageMessage({"x.gcm", "--dat"}), "--dat needs the dump list file (.dat).");
  EXPECT_EQ(UsageMessage({"--dat", "a.dat", "--dat", "b.dat", "x.gcm"}), "--dat is given twice.");
  EXPECT_EQ(UsageMessage({"--dat", "l.dat"}), "Missing IMAGE.");
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
