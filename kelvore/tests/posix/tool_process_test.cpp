// Runs the kelvore program from a shell's point of view: its output into a pipe.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

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

// Runs the tool with `args` and `environment` added to ours, its standard output into a
// pipe. Once the output holds `stop_at` (unless empty) the pipe's reading end is closed, as
// `kelvore IMAGE g | sed -n '/Output/{p;q}'` closes it.
ToolRun RunTool(const std::vector<std::string>& args, const std::string& stop_at,
                const std::vector<std::string>& environment = {}) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return {-1, "no pipe"};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  posix_spawn_file_actions_addclose(&actions, pipe_ends[1]);
  std::vector<std::string> words{KELVORE_PROGRAM};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> variables = environment;
  for (char** variable = environ; *variable != nullptr; ++variable) variables.push_back(*variable);
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);

  ToolRun run;
  pid_t pid = 0;
  const int failure =
      posix_spawn(&pid, KELVORE_PROGRAM, &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  while (!failure && (stop_at.empty() || run.output.find(stop_at) == std::string::npos)) {
    char buffer[4096];
    const ssize_t count = read(pipe_ends[0], buffer, sizeof buffer);
    if (count <= 0) break;
    run.output.append(buffer, static_cast<std::size_t>(count));
  }
  close(pipe_ends[0]);
  if (failure || waitpid(pid, &run.status, 0) != pid) run.status = -1;
  return run;
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
  EXPECT_NE(RunTool(args, "", {"LC_ALL=C.UTF-8"}).output.find("GZLJ01 \"ゼルダ cafで\""),
            std::string::npos);
  EXPECT_NE(RunTool(args, "", {"LC_ALL=C"}).output.find("GZLJ01 \"??? caf?\""), std::string::npos);
}

}  // namespace
}  // namespace kelvore
