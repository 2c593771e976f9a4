// Runs the kelvore program from a shell's point of view: its output into a pipe.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/temp_folder.h"

extern char** environ;

namespace kelvore {
namespace {

using testkit::SyntheticImage;
using testkit::SyntheticImageRecipe;
using testkit::TempFolder;

struct ToolRun {
  int status = 0;  // as waitpid reports it
  std::string output;
};

struct ToolStart {
  std::vector<std::string> environment = {};  // added to ours
  std::vector<int> closed = {};               // standard streams the tool starts without
  std::vector<std::string> launcher = {};     // a program that starts the tool, such as prlimit
  bool errors_too = false;                    // standard error into the pipe as well
  // Standard output into this file, or into a pipe that nobody reads ("unread"), and
  // standard error into the pipe in its place.
  std::string output_to = {};
};

struct StartedTool {
  pid_t pid = -1;
  int output = -1;  // the pipe's reading end
};

// Starts the tool with `args`, its standard output into a pipe unless `start` closes it.
StartedTool StartTool(const std::vector<std::string>& args, const ToolStart& start = {}) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return {};
  int unread[2] = {-1, -1};
  if (start.output_to == "unread") {
    if (pipe(unread) != 0) return {};
    close(unread[0]);  // the reader is gone before the tool starts
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (start.output_to.empty()) {
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
  } else if (unread[1] >= 0) {
    posix_spawn_file_actions_adddup2(&actions, unread[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, unread[1]);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, start.output_to.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0666);
  }
  if (start.errors_too || !start.output_to.empty()) {
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDERR_FILENO);
  }
  posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  posix_spawn_file_actions_addclose(&actions, pipe_ends[1]);
  for (int fd : start.closed) posix_spawn_file_actions_addclose(&actions, fd);
  std::vector<std::string> words = start.launcher;
  words.push_back(KELVORE_PROGRAM);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> variables = start.environment;
  for (char** variable = environ; *variable != nullptr; ++variable) variables.push_back(*variable);
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);

  StartedTool tool;
  const int failure = posix_spawnp(&tool.pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  if (unread[1] >= 0) close(unread[1]);
  if (failure) {
    close(pipe_ends[0]);
    return {};
  }
  tool.output = pipe_ends[0];
  return tool;
}

// Reads the started tool's output and waits for it to end. Once the output holds `stop_at`
// (unless empty) the pipe's reading end is closed, as `kelvore IMAGE g | sed -n
// '/Output/{p;q}'` closes it.
ToolRun FinishTool(const StartedTool& tool, const std::string& stop_at) {
  ToolRun run;
  if (tool.pid < 0) return {-1, "not started"};
  while (stop_at.empty() || run.output.find(stop_at) == std::string::npos) {
    char buffer[4096];
    const ssize_t count = read(tool.output, buffer, sizeof buffer);
    if (count <= 0) break;
    run.output.append(buffer, static_cast<std::size_t>(count));
  }
  close(tool.output);
  if (waitpid(tool.pid, &run.status, 0) != tool.pid) run.status = -1;
  return run;
}

ToolRun RunTool(const std::vector<std::string>& args, const std::string& stop_at,
                const ToolStart& start = {}) {
  return FinishTool(StartTool(args, start), stop_at);
}

TEST(ToolProcess, OutputPipeClosedMidRebuildLeavesNoUnfinishedImage) {
  TempFolder folder;
  SyntheticImageRecipe recipe;
  recipe.files = {{"movie.thp", 16 << 20, 4}};  // writing it outlasts the pipe's reader
  SyntheticImage(recipe).WriteTo(folder.PathOf("x.gcm"));
  const ToolRun run = RunTool({folder.PathOf("x.gcm"), "f"}, "Output:");
  ASSERT_TRUE(WIFEXITED(run.status)) << "ended by signal " << WTERMSIG(run.status);
  EXPECT_EQ(WEXITSTATUS(run.status), 0);
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"x.gcm", "x.rebuilt.gcm"}));
}

TEST(ToolProcess, WritesNamesInTheEncodingOfTheLocale) {
  TempFolder folder;
  SyntheticImageRecipe recipe;
  recipe.game_code = "GZLJ";
  recipe.game_name = "\x83\x5B\x83\x8B\x83\x5F caf\x82\xC5";  // ゼルダ cafで
  SyntheticImage(recipe).WriteTo(folder.PathOf("x.gcm"));
  const std::vector<std::string> args{folder.PathOf("x.gcm"), "f", "-o",
                                      folder.PathOf("absent/out.gcm")};
  EXPECT_NE(
      RunTool(args, "", {.environment = {"LC_ALL=C.UTF-8"}}).output.find("GZLJ01 \"ゼルダ cafで\""),
      std::string::npos);
  EXPECT_NE(RunTool(args, "", {.environment = {"LC_ALL=C"}}).output.find("GZLJ01 \"??? caf?\""),
            std::string::npos);
}

int ExitCode(const ToolRun& run) {
  if (WIFEXITED(run.status)) return WEXITSTATUS(run.status);
  ADD_FAILURE() << "ended by signal " << WTERMSIG(run.status) << "\n" << run.output;
  return -1;
}

// Started with its standard input and output closed, the tool's own files would take their
// numbers, and its progress lines would be written into the image.
TEST(ToolProcess, ClosedStandardStreamsNeverReceiveTheImage) {
  TempFolder folder;
  const SyntheticImage image(testkit::NestedDiscRecipe());
  image.WriteTo(folder.PathOf("x.gcm"));
  const ToolRun run = RunTool({folder.PathOf("x.gcm"), "f", "--no-verify"}, "",
                              {.closed = {STDIN_FILENO, STDOUT_FILENO}});
  EXPECT_EQ(ExitCode(run), 0);
  const std::vector<std::byte> header =
      testkit::ReadFileRange(folder.PathOf("x.rebuilt.gcm"), 0, 0x440);
  const std::vector<std::byte> source = testkit::ReadFileRange(folder.PathOf("x.gcm"), 0, 0x420);
  EXPECT_TRUE(std::equal(source.begin(), source.end(), header.begin()))
      << "the disc header was overwritten";
}

// With SIGXFSZ ignored, a file-size limit is an ordinary write failure: the first step that
// reaches past it, giving the output its full size, fails and nothing is left.
TEST(ToolProcess, AFileSizeLimitFailsTheRebuildAndLeavesNothing) {
  TempFolder folder;
  SyntheticImage(testkit::NestedDiscRecipe()).WriteTo(folder.PathOf("x.gcm"));
  const ToolRun run = RunTool({folder.PathOf("x.gcm"), "f"}, "",
                              {.launcher = {"prlimit", "--fsize=67108864", "--"}});
  EXPECT_EQ(ExitCode(run), 3);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"x.gcm"});
}

// A CISO file takes the space of the blocks that hold data: it fits a file-size limit a plain
// image would break, unless the limit is smaller than the blocks the data touches, which
// fails the rebuild before anything is written. The tool reads it as the image it stands for.
TEST(ToolProcess, WritesACisoFileWithinAFileSizeLimitAndReadsItAsTheFullImage) {
  TempFolder folder;
  SyntheticImage(testkit::NestedDiscRecipe()).WriteTo(folder.PathOf("x.gcm"));
  const std::vector<std::string> args{folder.PathOf("x.gcm"), "f", "--ciso"};
  const ToolRun tight = RunTool(args, "", {.launcher = {"prlimit", "--fsize=1048576", "--"}});
  EXPECT_EQ(ExitCode(tight), 3) << tight.output;
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"x.gcm"});

  const ToolRun run = RunTool(args, "", {.launcher = {"prlimit", "--fsize=67108864", "--"}});
  ASSERT_EQ(ExitCode(run), 0) << run.output;
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"x.gcm", "x.rebuilt.ciso"}));
  EXPECT_EQ(testkit::FileSize(folder.PathOf("x.rebuilt.ciso")), 0x8000u + (2u << 20));
  const ToolRun info = RunTool({folder.PathOf("x.rebuilt.ciso"), "--info"}, "");
  EXPECT_EQ(ExitCode(info), 0) << info.output;
  EXPECT_NE(info.output.find("taken as a full disc of 1,459,978,240 bytes"), std::string::npos)
      << info.output;
}

// The largest resident set, in KiB, of the tool run with `args`. It is measured by time(1),
// which starts the tool from a process of its own: a process started from the test would
// count the test's memory too, which its start shares. AddressSanitizer keeps freed memory
// aside for a while; told not to, the memory counted is the tool's own and the sanitizer's.
long PeakKiB(const std::vector<std::string>& args, const std::string& folder) {
  const std::string report = folder + "/peak.txt";
  const ToolRun run = RunTool(args, "",
                              {.environment = {"ASAN_OPTIONS=quarantine_size_mb=0"},
                               .launcher = {"/usr/bin/time", "-f", "%M", "-o", report}});
  EXPECT_EQ(ExitCode(run), 0) << run.output.substr(0, 2000);
  const std::vector<std::byte> peak = testkit::ReadFileBytes(report);
  std::filesystem::remove(report);
  return std::stol(std::string(reinterpret_cast<const char*>(peak.data()), peak.size()));
}

// 97,000 streaming audio files, each listed under a 200-byte folder name and each taking a
// 32 KiB block of its own, fill a 3 GB image: the list is printed as it is made, and what
// the image adds to the tool's memory (beyond the sanitizer's own, which even --version
// has) stays within its bound.
TEST(ToolProcess, ManyStreamingAudioFilesRebuildInBoundedMemory) {
  TempFolder folder;
  SyntheticImageRecipe recipe;
  const std::string album(200, 'm');
  for (int i = 0; i < 97'000; ++i) {
    recipe.files.push_back({album + "/t" + std::to_string(i) + ".adp", 12, 4});
  }
  SyntheticImage(recipe).WriteTo(folder.PathOf("x.gcm"));
  const long idle = PeakKiB({"--version"}, folder.PathOf(""));
  const long rebuilding =
      PeakKiB({folder.PathOf("x.gcm"), "g", "s", "-o", folder.PathOf("y.gcm")}, folder.PathOf(""));
  EXPECT_LT(rebuilding - idle, 30 * 1024) << "idle " << idle << " KiB";
  EXPECT_TRUE(std::filesystem::exists(folder.PathOf("y.gcm")));
}

// The bytes the process has read so far, from /proc; 0 once it is gone.
std::uint64_t BytesRead(pid_t pid) {
  std::ifstream io("/proc/" + std::to_string(pid) + "/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

// Ctrl+C during --hash, once the tool is reading, ends it at the next chunk: no checksums,
// exit 3.
TEST(ToolProcess, AnInterruptStopsTheHashing) {
  TempFolder folder;
  const std::string image = folder.PathOf("big.gcm");
  testkit::WriteFileBytes(image, {});
  std::filesystem::resize_file(image, std::uint64_t{8} << 30);
  const StartedTool tool = StartTool({image, "--hash"}, {.errors_too = true});
  ASSERT_GT(tool.pid, 0);
  for (int waited = 0; waited < 3000 && BytesRead(tool.pid) < (16u << 20); ++waited) {
    usleep(10'000);
  }
  kill(tool.pid, SIGINT);
  const ToolRun run = FinishTool(tool, "");
  EXPECT_EQ(ExitCode(run), 3);
  EXPECT_NE(run.output.find("Error: Interrupted."), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Checksums"), std::string::npos) << run.output;
}

// Ctrl+C in a run over a folder, once the first image is done: that one stays, the one being
// written goes, no other starts, and the summary says what became of each.
TEST(ToolProcess, AnInterruptStopsARunOverManyImagesAndKeepsWhatIsDone) {
  TempFolder folder;
  std::filesystem::create_directory(folder.PathOf("in"));
  std::filesystem::create_directory(folder.PathOf("out"));
  SyntheticImageRecipe recipe;
  recipe.files = {{"movie.thp", 16 << 20, 4}};
  for (const char* name : {"a.gcm", "b.gcm", "c.gcm"}) {
    SyntheticImage(recipe).WriteTo(folder.PathOf("in/") + name);
  }
  const StartedTool tool =
      StartTool({folder.PathOf("in"), "f", "-o", folder.PathOf("out")}, {.errors_too = true});
  ASSERT_GT(tool.pid, 0);
  const std::string first = folder.PathOf("out/a.rebuilt.gcm");
  for (int waited = 0; waited < 6000 && !std::filesystem::exists(first); ++waited) usleep(10'000);
  kill(tool.pid, SIGINT);
  const ToolRun run = FinishTool(tool, "");
  EXPECT_EQ(ExitCode(run), 3) << run.output;
  EXPECT_EQ(testkit::FileSize(first), 1'459'978'240u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.PathOf("out")),
                          std::filesystem::directory_iterator{}),
            1);
  EXPECT_NE(run.output.find("\nSummary of 3 images: 1 rebuilt, "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("  1. " + folder.PathOf("in/a.gcm") + ": rebuilt to " + first),
            std::string::npos);
  EXPECT_NE(run.output.find("  3. " + folder.PathOf("in/c.gcm") +
                            ": not done, as the run was interrupted"),
            std::string::npos);
  EXPECT_EQ(run.output.find("Image 3 of 3"), std::string::npos);
}

// A report or checksums that cannot be written are a failure, as for md5sum: the message
// says why, unless the reader of a pipe has gone (`kelvore IMAGE --hash | head -1`), and a
// refusal that came first keeps its code.
TEST(ToolProcess, AReportThatCannotBeWrittenFails) {
  TempFolder folder;
  const std::string image = folder.PathOf("x.gcm");
  SyntheticImage(testkit::NestedDiscRecipe()).WriteTo(image);
  for (const char* report : {"--hash", "--info"}) {
    SCOPED_TRACE(report);
    const ToolRun full = RunTool({image, report}, "", {.output_to = "/dev/full"});
    EXPECT_EQ(ExitCode(full), 3);
    EXPECT_EQ(full.output,
              "Error: Writing to standard output failed (No space left on device), so what it "
              "received is incomplete.\n");
    const ToolRun unread = RunTool({image, report}, "", {.output_to = "unread"});
    EXPECT_EQ(ExitCode(unread), 3);
    EXPECT_EQ(unread.output, "");
  }
  const ToolRun written = RunTool({image, "--hash"}, "", {.output_to = folder.PathOf("sums")});
  EXPECT_EQ(ExitCode(written), 0) << written.output;

  const std::vector<std::byte> bytes = testkit::ReadFileBytes(image);
  testkit::WriteFileBytes(image, {bytes.begin(), bytes.begin() + 0x440});
  const ToolRun invalid = RunTool({image, "--info", "--hash"}, "", {.output_to = "/dev/full"});
  EXPECT_EQ(ExitCode(invalid), 2) << invalid.output;
  EXPECT_NE(invalid.output.find("Error: Writing to standard output failed"), std::string::npos)
      << invalid.output;
}

// The program reads a hand-written dump list (with libxml2) and checks a folder against it,
// as `md5sum -c` checks one: 0 when every image is listed, 4 when one is not, 1 for a list
// for another system, before any image.
TEST(ToolProcess, ChecksAFolderAgainstADumpList) {
  TempFolder folder;
  std::filesystem::create_directory(folder.PathOf("games"));
  SyntheticImage(testkit::NestedDiscRecipe()).WriteTo(folder.PathOf("games/a.gcm"));
  const std::string list = folder.PathOf("list.dat");
  const auto write_list = [&list](const std::string& system) {
    const std::string text =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE datafile SYSTEM \"datafile.dtd\">\n<datafile>\n"
        "<header><name>Nintendo - " +
        system +
        "</name></header>\n"
        "<game name=\"Kelvore &amp; Friends (USA)\"><!-- the nested disc -->\n"
        "<rom name=\"Kelvore.iso\" size=\"498016\" crc=\"9d3799b3\" "
        "md5=\"E1B444EA1A5787D54A3D631D0CDAAE03\" "
        "sha1=\"a684f685145533a3ac9ab721f13266e944ce6476\" serial=\"DL-DOL-GKVE-USA\"/>\n"
        "</game>\n</datafile>\n";
    testkit::WriteFileBytes(list, {reinterpret_cast<const std::byte*>(text.data()),
                                   reinterpret_cast<const std::byte*>(text.data()) + text.size()});
  };
  write_list("GameCube");
  const ToolRun listed = RunTool({"--dat", list, folder.PathOf("games")}, "", {.errors_too = true});
  EXPECT_EQ(ExitCode(listed), 0) << listed.output;
  EXPECT_NE(listed.output.find("  1. " + folder.PathOf("games/a.gcm") +
                               ": listed: \"Kelvore & Friends (USA)\"\n"),
            std::string::npos)
      << listed.output;

  SyntheticImageRecipe rebuilt = testkit::NestedDiscRecipe();
  rebuilt.revision = 1;
  SyntheticImage(rebuilt).WriteTo(folder.PathOf("games/b.gcm"));
  const ToolRun one_not = RunTool({"--dat", list, "--hash", folder.PathOf("games")}, "");
  EXPECT_EQ(ExitCode(one_not), 4) << one_not.output;
  EXPECT_NE(one_not.output.find("Summary of 2 images: 1 listed, 1 not in the list."),
            std::string::npos)
      << one_not.output;

  write_list("Wii");
  const ToolRun refused =
      RunTool({"--dat", list, folder.PathOf("games")}, "", {.errors_too = true});
  EXPECT_EQ(ExitCode(refused), 1) << refused.output;
  EXPECT_EQ(refused.output.find("Image 1"), std::string::npos) << refused.output;
}

}  // namespace
}  // namespace kelvore
