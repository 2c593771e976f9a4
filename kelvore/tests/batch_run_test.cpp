#include "kelvore/tool/batch_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "kelvore/platform/file_system.h"
#include "kelvore/platform/folders.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/faulty_output_file.h"
#include "kelvore/tests/recording_console.h"
#include "kelvore/tests/temp_folder.h"
#include "kelvore/tool/output_path.h"

namespace kelvore {
namespace {

namespace fs = std::filesystem;
using testkit::FaultyOutputFile;
using testkit::RecordingConsole;
using testkit::SyntheticImage;
using testkit::SyntheticImageRecipe;
using testkit::TempFolder;
using Strings = std::vector<std::string>;

SyntheticImageRecipe Disc(std::string id6, std::string title, std::uint8_t disc_number) {
  SyntheticImageRecipe recipe = testkit::NestedDiscRecipe();
  recipe.game_code = id6.substr(0, 4);
  recipe.maker = id6.substr(4);
  recipe.game_name = std::move(title);
  recipe.disc_number = disc_number;
  return recipe;
}

class BatchRunTest : public ::testing::Test {
 protected:
  BatchRunTest() {
    fs::create_directory(in_);
    fs::create_directory(out_);
  }

  // Writes an image into the input folder; returns its path.
  std::string Image(const std::string& name, const SyntheticImageRecipe& recipe) {
    const std::string path = PathInFolder(in_, name);
    SyntheticImage(recipe).WriteTo(path);
    return path;
  }

  // An image the checks refuse: its file table reaches past its end.
  std::string DamagedImage(const std::string& name) {
    std::vector<std::byte> bytes = SyntheticImage(testkit::NestedDiscRecipe()).Bytes();
    bytes.resize(bytes.size() - 1);
    const std::string path = PathInFolder(in_, name);
    testkit::WriteFileBytes(path, bytes);
    return path;
  }

  // Makes the writing of every output whose path holds `part_of_name` fail as `fault` says.
  void Fail(const std::string& part_of_name, FaultyOutputFile::Fault fault) {
    services_.files.create_output = [this, part_of_name, fault](const std::string& path) {
      if (path.find(part_of_name) == std::string::npos) return CreateOutputFile(path);
      return std::unique_ptr<OutputFile>(
          std::make_unique<FaultyOutputFile>(CreateOutputFile(path), fault, 50'000, &interrupted_));
    };
  }

  int Rebuild(Strings images, RebuildRequest each, std::optional<std::string> games = {}) {
    each.verify = false;
    return RunBatch({.images = std::move(images), .each = each, .games_folder = std::move(games)},
                    services_, console_, interrupted_);
  }

  // Every file and folder under `folder`, as paths relative to it with '/' between names.
  static Strings Tree(const std::string& folder) {
    Strings paths;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      paths.push_back(fs::relative(entry.path(), folder).generic_string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
  }

  bool Said(const std::string& line) const {
    return std::find(console_.lines.begin(), console_.lines.end(), line) != console_.lines.end();
  }

  TempFolder folder_;
  const std::string in_ = folder_.PathOf("in");
  const std::string out_ = folder_.PathOf("out");
  BatchServices services_{
      .files = {.open_source = OpenSourceImage,
                .create_output = CreateOutputFile,
                .path_exists = PathExists},
      .words = {.folders = SystemFolders(), .expand_wildcards = false},
  };
  RecordingConsole console_;
  std::atomic<bool> interrupted_{false};
};

// An image that fails, whether its checks refuse it or its writing fails, leaves nothing
// behind and keeps none of the others from being rebuilt; the worst exit code counts.
TEST_F(BatchRunTest, AFailingImageInTheMiddleStopsNoneOfTheOthersAndLeavesNothing) {
  Image("a.gcm", testkit::NestedDiscRecipe());
  const std::string b = DamagedImage("b.gcm");
  const std::string c = Image("c.gcm", testkit::NestedDiscRecipe());
  Image("d.gcm", testkit::NestedDiscRecipe());
  Fail("c.rebuilt", FaultyOutputFile::Fault::kFailWrite);

  EXPECT_EQ(Rebuild({in_}, {.output = out_}), 3) << console_.AllErrors();
  EXPECT_EQ(Tree(out_), (Strings{"a.rebuilt.gcm", "d.rebuilt.gcm"}));
  EXPECT_TRUE(Said("Image 2 of 4: " + b)) << console_.AllLines();
  EXPECT_TRUE(Said("Summary of 4 images: 2 rebuilt, 2 failed.")) << console_.AllLines();
  EXPECT_TRUE(Said("  1. " + PathInFolder(in_, "a.gcm") + ": rebuilt to " +
                   PathInFolder(out_, "a.rebuilt.gcm")));
  EXPECT_NE(console_.AllLines().find("  2. " + b + ": failed: The data of /opening.bnr ("),
            std::string::npos)
      << console_.AllLines();
  EXPECT_TRUE(Said("  3. " + c + ": failed: Injected failure: no space left on the device."));
}

// The discs of a set meet in one game folder, named after the first one placed there,
// whatever the second's title; a disc of another maker is another game.
TEST_F(BatchRunTest, TheGamesFolderHoldsBothDiscsOfASetWhateverTheirTitles) {
  const std::string sd = folder_.PathOf("sd");
  fs::create_directory(sd);
  Image("1.gcm", Disc("GAFE01", "Kelvore Saga", 0));
  Image("2.gcm", Disc("GAFE01", "Kelvore Saga: Disc Two", 1));
  Image("3.gcm", Disc("GAFE02", "Kelvore Saga?", 1));

  EXPECT_EQ(Rebuild({in_}, {}, sd), 0) << console_.AllErrors();
  EXPECT_EQ(Tree(sd), (Strings{"Kelvore Saga [GAFE01]", "Kelvore Saga [GAFE01]/disc2.iso",
                               "Kelvore Saga [GAFE01]/game.iso", "Kelvore Saga_ [GAFE02]",
                               "Kelvore Saga_ [GAFE02]/disc2.iso"}));
  const Strings sets{
      "Two-disc sets:", "  GAFE01 \"Kelvore Saga\": disc 1: image 1; disc 2: image 2",
      "  GAFE02 \"Kelvore Saga?\": disc 1: missing; disc 2: image 3"};
  EXPECT_TRUE(std::equal(sets.rbegin(), sets.rend(), console_.lines.rbegin()))
      << console_.AllLines();

  console_ = {};
  EXPECT_EQ(Rebuild({PathInFolder(in_, "1.gcm")}, {.ciso = true}, sd), 0) << console_.AllErrors();
  EXPECT_TRUE(fs::exists(PathInFolder(sd, "Kelvore Saga [GAFE01]/game.ciso")));
}

// A game folder already there is used whatever its title; a disc it holds already is never
// replaced; a third disc has no name there. Nothing new is made for either.
TEST_F(BatchRunTest, TheGamesFolderKeepsWhatItHoldsAndRefusesALaterDisc) {
  const std::string sd = folder_.PathOf("sd");
  const std::string game = PathInFolder(sd, "My Saga [GAFE01]");
  fs::create_directories(game);
  const std::string first = Image("1.gcm", Disc("GAFE01", "Kelvore Saga", 0));
  const std::string third = Image("3.gcm", Disc("GAFE01", "Kelvore Saga", 2));

  EXPECT_EQ(Rebuild({first, first, third}, {}, sd), 3);
  EXPECT_EQ(Tree(sd), (Strings{"My Saga [GAFE01]", "My Saga [GAFE01]/game.iso"}));
  const std::string written = PathInFolder(game, "game.iso");
  EXPECT_TRUE(Said("  2. " + first + ": failed: " + written +
                   " is already there, and kelvore never replaces a file."))
      << console_.AllLines();
  EXPECT_EQ(console_.AllLines().find("Two-disc sets"), std::string::npos) << "a first disc alone";
  EXPECT_NE(console_.AllLines().find("  3. " + third + ": failed: This is disc 3 of its game"),
            std::string::npos);

  console_ = {};
  EXPECT_EQ(Rebuild({third}, {}, sd), 2);
}

// A game folder made for an image that then fails goes again; one that holds a disc stays.
TEST_F(BatchRunTest, AGameFolderMadeForAFailingImageIsRemovedAgain) {
  const std::string sd = folder_.PathOf("sd");
  fs::create_directory(sd);
  Image("1.gcm", Disc("GAFE01", "Kept", 0));
  Image("2.gcm", Disc("GAFE01", "Kept", 1));
  Image("3.gcm", Disc("GBBE01", "Gone", 0));
  Fail("disc2.iso", FaultyOutputFile::Fault::kFailWrite);
  EXPECT_EQ(Rebuild({PathInFolder(in_, "1.gcm"), PathInFolder(in_, "2.gcm")}, {}, sd), 3);
  Fail("Gone", FaultyOutputFile::Fault::kFailWrite);
  EXPECT_EQ(Rebuild({PathInFolder(in_, "3.gcm")}, {}, sd), 3);
  EXPECT_EQ(Tree(sd), (Strings{"Kept [GAFE01]", "Kept [GAFE01]/game.iso"}));
  EXPECT_EQ(console_.AllErrors().find("game folder"), std::string::npos) << console_.AllErrors();
}

// Ctrl+C inside an image removes what it had written; the images done stay, those not begun
// are not, and the summary says so.
TEST_F(BatchRunTest, AnInterruptionKeepsTheFinishedImagesAndStartsNoMore) {
  Image("a.gcm", testkit::NestedDiscRecipe());
  const std::string b = Image("b.gcm", testkit::NestedDiscRecipe());
  const std::string c = Image("c.gcm", testkit::NestedDiscRecipe());
  Fail("b.rebuilt", FaultyOutputFile::Fault::kInterrupt);
  EXPECT_EQ(Rebuild({in_}, {.output = out_}), 3);
  EXPECT_EQ(Tree(out_), Strings{"a.rebuilt.gcm"});
  EXPECT_FALSE(Said("Image 3 of 3: " + c));
  EXPECT_TRUE(Said("Summary of 3 images: 1 rebuilt, 1 failed, 1 not done.")) << console_.AllLines();
  EXPECT_TRUE(Said("  2. " + b + ": failed: Interrupted."));
  EXPECT_TRUE(Said("  3. " + c + ": not done, as the run was interrupted"));
}

TEST_F(BatchRunTest, ReportsOnEachImageAndPairsTheDiscsItChecked) {
  Image("1.gcm", Disc("GAFE01", "Kelvore Saga", 0));
  const std::string damaged = DamagedImage("2.gcm");
  Image("3.gcm", Disc("GAFE01", "Kelvore Saga", 1));
  const int exit_code = RunBatch({.images = {in_}, .each = InspectRequest{.info = true}}, services_,
                                 console_, interrupted_);
  EXPECT_EQ(exit_code, 2);
  EXPECT_TRUE(Said("Summary of 3 images: 2 reported, 1 invalid.")) << console_.AllLines();
  EXPECT_NE(console_.AllLines().find("  2. " + damaged + ": invalid: The data of /opening.bnr"),
            std::string::npos);
  EXPECT_EQ(console_.lines.back(), "  GAFE01 \"Kelvore Saga\": disc 1: image 1; disc 2: image 3");
}

// -o and --games name folders that must be there; a run that lacks one starts no image.
TEST_F(BatchRunTest, OutputAndGamesFoldersMustExistBeforeAnyImage) {
  const std::string a = Image("a.gcm", testkit::NestedDiscRecipe());
  const std::string file = PathInFolder(in_, "a.gcm");
  EXPECT_EQ(Rebuild({a, a}, {.output = file}), 3);
  EXPECT_EQ(console_.AllErrors(), "Error: " + file +
                                      " is no folder; -o with several images, and --games, name "
                                      "an existing one.\n");
  EXPECT_EQ(Rebuild({a}, {}, folder_.PathOf("absent")), 3);
  EXPECT_TRUE(console_.lines.empty()) << console_.AllLines();
  EXPECT_EQ(Tree(in_), Strings{"a.gcm"});
}

// A step that returns the outcomes it is given, one per image, and calls `after` with the
// image's number once it is done.
struct ScriptedStep {
  std::vector<ImageOutcome> outcomes;
  std::function<void(std::size_t)> after = [](std::size_t) {};
  std::size_t done = 0;

  ImageStep Step() {
    return [this](const std::string&, Console&) {
      ImageOutcome outcome = outcomes.at(done++);
      after(done);
      return outcome;
    };
  }
};

ImageOutcome Rebuilt(DiscIdentity disc) {
  return {.exit_code = 0, .status = "rebuilt", .text = "rebuilt", .disc = std::move(disc)};
}

std::vector<NamedImage> Named(std::size_t count) {
  std::vector<NamedImage> images;
  for (std::size_t i = 1; i <= count; ++i) {
    std::string path = "/";  // appended: GCC 12 at -O3 warns of "/" + a temporary
    path += std::to_string(i);
    images.push_back({path, {}});
  }
  return images;
}

// Sets are told by the ID6 alone, title aside, among the images that came out well; a disc
// the set lacks is named; first discs alone and discs of other makers make no set.
TEST(RunOverImages, CountsEachOutcomeAndPairsTheDiscsThatCameOutWell) {
  ScriptedStep script{.outcomes = {
                          Rebuilt({"GAFE01", "Saga", 1}),
                          Rebuilt({"GBBE01", "Single", 0}),
                          {.exit_code = 3,
                           .status = "failed",
                           .text = "failed: x",
                           .disc = DiscIdentity{"GCCE01", "Lost", 1}},
                          Rebuilt({"GCCE01", "Lost", 0}),
                          Rebuilt({"GAFE01", "Saga: Disc Two?", 0}),
                          Rebuilt({"GAFE02", "Saga", 0}),
                          Rebuilt({"GDDE01", "Trilogy", 2}),
                          Rebuilt({"GAFE01", "Saga", 1}),
                          {.exit_code = 2, .status = "failed", .text = "failed: y"},
                      }};
  RecordingConsole console;
  EXPECT_EQ(RunOverImages(Named(9), script.Step(), console, NeverInterrupted()), 3);
  const Strings summary(console.lines.end() - 13, console.lines.end());
  EXPECT_EQ(summary, (Strings{
                         "Summary of 9 images: 7 rebuilt, 2 failed.",
                         "  1. /1: rebuilt",
                         "  2. /2: rebuilt",
                         "  3. /3: failed: x",
                         "  4. /4: rebuilt",
                         "  5. /5: rebuilt",
                         "  6. /6: rebuilt",
                         "  7. /7: rebuilt",
                         "  8. /8: rebuilt",
                         "  9. /9: failed: y",
                         "Two-disc sets:",
                         "  GAFE01 \"Saga\": disc 1: image 5; disc 2: image 1, 8",
                         "  GDDE01 \"Trilogy\": disc 1: missing; disc 2: missing; disc 3: image 7",
                     }))
      << console.AllLines();
}

// Checked against a dump list, discs that are valid but not the listed dump (exit 4) still
// form their set; a refused image (exit 2) whose header was read does not.
TEST(RunOverImages, PairsValidDiscsThatAreNotTheListedDump) {
  const auto checked = [](int exit_code, DiscIdentity disc) {
    return ImageOutcome{
        .exit_code = exit_code, .status = "checked", .text = "checked", .disc = std::move(disc)};
  };
  ScriptedStep script{
      .outcomes = {checked(4, {"GAFE01", "Saga", 0}), checked(4, {"GAFE01", "Saga", 1}),
                   checked(2, {"GBBE01", "Broken", 0}), checked(0, {"GBBE01", "Broken", 1})}};
  RecordingConsole console;
  EXPECT_EQ(RunOverImages(Named(4), script.Step(), console, NeverInterrupted()), 2);
  EXPECT_EQ(Strings(console.lines.end() - 3, console.lines.end()),
            (Strings{"Two-disc sets:", "  GAFE01 \"Saga\": disc 1: image 1; disc 2: image 2",
                     "  GBBE01 \"Broken\": disc 1: missing; disc 2: image 4"}))
      << console.AllLines();
}

// The worst exit code of the images counts, in the order 3, 2, 4, 0; each image is announced
// before its step, and an entry that names no image fails without one.
TEST(RunOverImages, ReturnsTheWorstExitCodeInItsOwnOrder) {
  const auto run = [](std::vector<int> codes, std::vector<NamedImage> images = {}) {
    ScriptedStep script;
    for (const int code : codes) script.outcomes.push_back({.exit_code = code, .status = "x"});
    if (images.empty()) images = Named(codes.size());
    RecordingConsole console;
    return RunOverImages(images, script.Step(), console, NeverInterrupted());
  };
  EXPECT_EQ(run({0, 4, 0}), 4);
  EXPECT_EQ(run({4, 2, 4}), 2);
  EXPECT_EQ(run({2, 3, 4}), 3);
  EXPECT_EQ(run({0, 0}), 0);
  EXPECT_EQ(run({4}, {{"/1", {}}, {"/empty", "/empty holds nothing."}}), 3);

  ScriptedStep script{.outcomes = {{.exit_code = 0, .status = "rebuilt", .text = "rebuilt"}}};
  RecordingConsole console;
  RunOverImages({{"/none", "Nothing matches /none."}, {"/1", {}}}, script.Step(), console,
                NeverInterrupted());
  EXPECT_EQ(script.done, 1u);
  EXPECT_EQ(console.AllErrors(), "Error: Nothing matches /none.\n");
  EXPECT_EQ(Strings(console.lines.begin(), console.lines.begin() + 3),
            (Strings{"Image 1 of 2: /none", "", "Image 2 of 2: /1"}));
  EXPECT_EQ(Strings(console.lines.end() - 3, console.lines.end()),
            (Strings{"Summary of 2 images: 1 failed, 1 rebuilt.",
                     "  1. /none: failed: Nothing matches /none.", "  2. /1: rebuilt"}));
}

// Ctrl+C between two images: the one done stays done, no other starts, and the run fails.
TEST(RunOverImages, AnInterruptionBetweenImagesStartsNoMore) {
  std::atomic<bool> interrupted{false};
  ScriptedStep script{.outcomes = {Rebuilt({"GAFE01", "Saga", 0}), Rebuilt({"GAFE01", "Saga", 1})},
                      .after = [&interrupted](std::size_t) { interrupted = true; }};
  RecordingConsole console;
  EXPECT_EQ(RunOverImages(Named(3), script.Step(), console, interrupted), 3);
  EXPECT_EQ(script.done, 1u);
  EXPECT_EQ(Strings(console.lines.end() - 4, console.lines.end()),
            (Strings{"Summary of 3 images: 1 rebuilt, 2 not done.", "  1. /1: rebuilt",
                     "  2. /2: not done, as the run was interrupted",
                     "  3. /3: not done, as the run was interrupted"}));
}

}  // namespace
}  // namespace kelvore
