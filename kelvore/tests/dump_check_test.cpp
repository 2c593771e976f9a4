// Checking images against a dump list: one image, and many in one run, through the files a
// user has (a hand-written list, synthetic images).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kelvore/platform/file_system.h"
#include "kelvore/platform/folders.h"
#include "kelvore/testing/synthetic_image.h"
#include "kelvore/tests/recording_console.h"
#include "kelvore/tests/temp_folder.h"
#include "kelvore/tool/batch_run.h"
#include "kelvore/tool/checksums.h"
#include "kelvore/tool/inspection_job.h"
#include "kelvore/tool/output_path.h"

namespace kelvore {
namespace {

using testkit::NestedDiscRecipe;
using testkit::RecordingConsole;
using testkit::SyntheticImage;
using testkit::SyntheticImageRecipe;
using testkit::TempFolder;

// The nested disc's own entry, in upper-case hex as some lists give it; an entry for its
// second disc, which is not this image; and the first disc of another revision.
constexpr const char* kList = R"xml(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE datafile PUBLIC "-//Logiqx//DTD ROM Management Datafile//EN" "http://www.logiqx.com/Dats/datafile.dtd">
<datafile>
  <header><name>Nintendo - GameCube</name></header>
  <game name="Kelvore Test Disc (USA)">
    <rom name="Kelvore Test Disc (USA).iso" size="498016" crc="9D3799B3"
         md5="E1B444EA1A5787D54A3D631D0CDAAE03" sha1="A684F685145533A3AC9AB721F13266E944CE6476"
         serial="DL-DOL-GKVE-USA"/>
  </game>
  <game name="Kelvore Test Disc (USA) (Disc 2)">
    <rom name="Kelvore Test Disc (USA) (Disc 2).iso" size="1459978240" crc="11111111"
         md5="22222222222222222222222222222222" sha1="3333333333333333333333333333333333333333"
         serial="DL-DOL-GKVE-1-USA"/>
  </game>
  <game name="Kelvore Test Disc (USA) (Rev 1)">
    <rom name="Kelvore Test Disc (USA) (Rev 1).iso" size="1459978240" crc="44444444"
         md5="55555555555555555555555555555555" sha1="6666666666666666666666666666666666666666"
         serial="DL-DOL-GKVE-USA" version="Rev 1"/>
  </game>
</datafile>
)xml";

struct Check {
  int exit_code;
  std::string lines;
  std::string errors;
};

class DumpCheckTest : public ::testing::Test {
 protected:
  std::string Image(const std::string& name, const SyntheticImageRecipe& recipe) {
    const std::string path = folder_.PathOf(name);
    SyntheticImage(recipe).WriteTo(path);
    return path;
  }

  std::string List(const std::string& text) {
    const std::string path = folder_.PathOf("list.dat");
    testkit::WriteFileBytes(path, {reinterpret_cast<const std::byte*>(text.data()),
                                   reinterpret_cast<const std::byte*>(text.data()) + text.size()});
    return path;
  }

  // One image, as main runs it: the list read first, then the image checked.
  Check CheckOne(InspectRequest request) {
    RecordingConsole console;
    DumpList list;
    int code = LoadDumpListOf(request, console, list);
    if (code == 0) {
      code = RunInspection(request, OpenSourceImage, console, NeverInterrupted(),
                           request.dump_list ? &list : nullptr);
    }
    return {code, console.AllLines(), console.AllErrors()};
  }

  Check CheckMany(std::vector<std::string> images, InspectRequest each) {
    RecordingConsole console;
    const BatchServices services{
        .files = {.open_source = OpenSourceImage,
                  .create_output = CreateOutputFile,
                  .path_exists = PathExists},
        .words = {.folders = SystemFolders(), .expand_wildcards = false},
    };
    const int code = RunBatch({.images = std::move(images), .each = each}, services, console,
                              NeverInterrupted());
    return {code, console.AllLines(), console.AllErrors()};
  }

  TempFolder folder_;
};

ImageChecksums SumsOf(const std::string& path) {
  return ComputeChecksums(*OpenSourceImage(path),
                          {.interrupted = NeverInterrupted(), .progress = [](std::uint64_t) {}});
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

SyntheticImageRecipe Revision(std::uint8_t revision) {
  SyntheticImageRecipe recipe = NestedDiscRecipe();
  recipe.revision = revision;
  return recipe;
}

// The verdict alone with --dat, the sums before it with --hash, the report first with --info;
// listed gives 0, identified and not listed 4.
TEST_F(DumpCheckTest, SaysWhatTheListMakesOfOneImageAndExitsByIt) {
  const std::string list = List(kList);
  const std::string listed = Image("listed.gcm", NestedDiscRecipe());
  Check check = CheckOne({.image = listed, .dump_list = list});
  EXPECT_EQ(check.exit_code, 0) << check.errors;
  EXPECT_TRUE(check.lines.starts_with("Hashing ")) << check.lines;
  EXPECT_TRUE(check.lines.ends_with(
      "\nListed: this image is the dump the list gives for \"Kelvore Test Disc (USA)\" (file "
      "\"Kelvore Test Disc (USA).iso\"): its size, CRC32, MD5 and SHA-1 are the listed ones.\n"))
      << check.lines;
  EXPECT_FALSE(Has(check.lines, "Checksums of") || Has(check.lines, "Disc report")) << check.lines;

  check = CheckOne({.image = listed, .info = true, .hash = true, .dump_list = list});
  EXPECT_EQ(check.exit_code, 0);
  const std::size_t report = check.lines.find("Disc report for ");
  const std::size_t sums = check.lines.find("  SHA-1  a684f685145533a3ac9ab721f13266e944ce6476\n");
  const std::size_t verdict = check.lines.find("Listed: ");
  EXPECT_TRUE(report < sums && sums < verdict) << check.lines;

  // Revision 1 of the same disc, with other bytes: identified by its header, not listed.
  const std::string rebuilt = Image("rev1.gcm", Revision(1));
  check = CheckOne({.image = rebuilt, .dump_list = list});
  EXPECT_EQ(check.exit_code, 4);
  EXPECT_TRUE(Has(check.lines,
                  "Identified, not the listed dump: the header's game code GKVE, disc 1 and "
                  "revision 1 are those of \"Kelvore Test Disc (USA) (Rev 1)\""))
      << check.lines;

  const std::string other = Image("rev2.gcm", Revision(2));
  check = CheckOne({.image = other, .dump_list = list});
  EXPECT_EQ(check.exit_code, 4);
  EXPECT_TRUE(Has(check.lines,
                  "Not in the list: no entry has this image's size and checksums, "
                  "nor its header's game code GKVE, disc 1 and revision 2."))
      << check.lines;
}

// The image's size and CRC32 in an entry whose MD5 and SHA-1 differ: said to be no match.
TEST_F(DumpCheckTest, AMatchingCrc32AloneIsSaidToBeNoMatch) {
  std::string text = kList;
  text.replace(text.find("E1B444EA"), 8, "00000000");
  text.replace(text.find("A684F685"), 8, "00000000");
  const std::string list = List(text);
  const Check check = CheckOne({.image = Image("x.gcm", NestedDiscRecipe()), .dump_list = list});
  EXPECT_EQ(check.exit_code, 4);
  EXPECT_TRUE(Has(check.lines,
                  "Not a match: the image's size and CRC32 equal those listed for \"Kelvore Test "
                  "Disc (USA)\" (file \"Kelvore Test Disc (USA).iso\"), but its MD5 and SHA-1 "
                  "differ. Different data can share a CRC32; only an MD5 or SHA-1 tells the "
                  "listed dump."))
      << check.lines;
}

// An invalid image is refused (2) whatever the list says, but its bytes are still looked up:
// damaged dumps are listed too. Its header, refused, identifies nothing.
TEST_F(DumpCheckTest, AnInvalidImageIsRefusedAndItsBytesStillLookedUp) {
  std::vector<std::byte> bytes = SyntheticImage(NestedDiscRecipe()).Bytes();
  bytes.resize(bytes.size() - 1);
  const std::string damaged = folder_.PathOf("damaged.gcm");
  testkit::WriteFileBytes(damaged, bytes);
  Check check = CheckOne({.image = damaged, .dump_list = List(kList)});
  EXPECT_EQ(check.exit_code, 2);
  EXPECT_TRUE(Has(check.errors, "the dump is damaged")) << check.errors;
  EXPECT_TRUE(Has(check.lines,
                  "Not in the list: no entry has this image's size and checksums, "
                  "and its header, refused above, cannot identify it."))
      << check.lines;
  EXPECT_FALSE(Has(check.lines, "stays refused")) << check.lines;

  const ImageChecksums sums = SumsOf(damaged);
  std::string text = kList;
  text.replace(text.find("498016"), 6, "498015");
  text.replace(text.find("9D3799B3"), 8, sums.crc32);
  text.replace(text.find("E1B444EA1A5787D54A3D631D0CDAAE03"), 32, sums.md5);
  text.replace(text.find("A684F685145533A3AC9AB721F13266E944CE6476"), 40, sums.sha1);
  check = CheckOne({.image = damaged, .dump_list = List(text)});
  EXPECT_EQ(check.exit_code, 2);
  EXPECT_TRUE(Has(check.lines, "Listed: this image is the dump the list gives for")) << check.lines;
  EXPECT_TRUE(
      Has(check.lines, "The listed dump itself fails kelvore's checks, so it stays refused."))
      << check.lines;
}

// A list that cannot be used stops the run before any image, with 1; one that cannot be
// read, with 3.
TEST_F(DumpCheckTest, AnUnusableListStopsBeforeAnyImage) {
  const std::string image = Image("x.gcm", NestedDiscRecipe());
  const std::string other_system = List(
      "<datafile><header><name>Nintendo - Wii</name></header>"
      "<game name=\"g\"><rom name=\"g.iso\" size=\"1\" md5=\"00000000000000000000000000000000\"/>"
      "</game></datafile>");
  for (const bool many : {false, true}) {
    SCOPED_TRACE(many ? "many" : "one");
    const auto run = [&](const std::string& list) {
      const InspectRequest request{.image = image, .hash = true, .dump_list = list};
      return many ? CheckMany({image, image}, request) : CheckOne(request);
    };
    Check check = run(other_system);
    EXPECT_EQ(check.exit_code, 1);
    EXPECT_TRUE(Has(check.errors, "is for \"Nintendo - Wii\", not for the GameCube"))
        << check.errors;
    EXPECT_EQ(check.lines, "");
    check = run(folder_.PathOf("absent.dat"));
    EXPECT_EQ(check.exit_code, 3);
    EXPECT_EQ(check.lines, "");
  }
}

// Over many images each gets its verdict, the summary says which each is, and the worst
// counts: an invalid image (2) over one not listed (4) over a listed one (0).
TEST_F(DumpCheckTest, ManyImagesAreEachCheckedAndTheWorstCounts) {
  const std::string list = List(kList);
  const std::string listed = Image("1.gcm", NestedDiscRecipe());
  const std::string identified = Image("2.gcm", Revision(1));
  const std::string unknown = Image("3.gcm", Revision(2));
  Check check = CheckMany({listed, identified, unknown}, {.dump_list = list});
  EXPECT_EQ(check.exit_code, 4) << check.errors;
  EXPECT_TRUE(Has(check.lines,
                  "Summary of 3 images: 1 listed, 1 identified but not the listed "
                  "dump, 1 not in the list.\n"
                  "  1. " +
                      listed +
                      ": listed: \"Kelvore Test Disc (USA)\"\n"
                      "  2. " +
                      identified +
                      ": identified but not the listed dump: "
                      "\"Kelvore Test Disc (USA) (Rev 1)\"\n"
                      "  3. " +
                      unknown + ": not in the list\n"))
      << check.lines;
  EXPECT_FALSE(Has(check.lines, "Disc report")) << "--dat alone shows no report";

  check = CheckMany({listed, listed}, {.dump_list = list});
  EXPECT_EQ(check.exit_code, 0);

  std::vector<std::byte> bytes = SyntheticImage(NestedDiscRecipe()).Bytes();
  bytes.resize(bytes.size() - 1);
  testkit::WriteFileBytes(folder_.PathOf("4.gcm"), bytes);
  check = CheckMany({listed, folder_.PathOf("4.gcm"), unknown}, {.dump_list = list});
  EXPECT_EQ(check.exit_code, 2);
  EXPECT_TRUE(Has(check.lines, "1 listed, 1 invalid, 1 not in the list.")) << check.lines;
}

}  // namespace
}  // namespace kelvore
