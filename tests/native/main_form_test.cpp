#include "app/main_form.h"

#include <gtest/gtest.h>

#include <deque>
#include <exception>
#include <stdexcept>

#include "app/untrapped_error.h"
#include "doubles/main_form_bench.h"
#include "support/error.h"

namespace {

using corvane::app::MainForm;
using corvane::app::ProgramState;

// An open dialog whose answers are scripted; records the initial names it was given.
class ScriptedPicker final : public corvane::app::ImagePicker {
 public:
  std::optional<std::string> PickImage(const std::string& initialPath) override {
    initialPaths.push_back(initialPath);
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> initialPaths;
};

class MainFormTest : public testing::Test, protected doubles::MainFormBench {
 protected:
  MainFormTest() {
    files.AddWithLength(R"(C:\Images\disc.gcm)", 1'400'000'000);
    files.AddWithLength(R"(C:\Images\good.gcm)", 1'459'978'240);
    files.AddWithLength(R"(C:\Images\hidden.gcm)", 7);
    shortPaths.table = {{R"(C:\Images\disc.gcm)", R"(C:\Images\disc.gcm)"}};
  }

  ScriptedPicker picker;
};

TEST_F(MainFormTest, LoadPassesWhenTheToolLiesInTheApplicationFolder) {
  pathExists.paths = {R"(C:\Tools\kelvore.exe)"};
  EXPECT_TRUE(form.Form_Load());
  EXPECT_TRUE(messages.shown.empty());
  // The tool is only looked for: neither started nor opened, and no image is.
  EXPECT_TRUE(launches.launches.empty());
  EXPECT_TRUE(files.journal.empty());
  EXPECT_TRUE(view.writes.empty());
}

TEST_F(MainFormTest, LoadWithoutTheToolShowsTheExitBox) {
  pathExists.paths = {R"(C:\Other\kelvore.exe)"};
  EXPECT_FALSE(form.Form_Load());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "kelvore.exe does not appear to exist in the application folder.\r\n\r\n"
            "Exiting Application.");
  EXPECT_EQ(messages.shown[0].title, "Error ...");
  EXPECT_EQ(messages.shown[0].style, 0x10u);
}

TEST_F(MainFormTest, TypicalRunShowsTheImageAndStartsTheStandardRebuild) {
  picker.answers = {R"(C:\Images\disc.gcm)"};
  form.mnuOpen_Click(picker);
  EXPECT_EQ(view.info[0], "disc.gcm");
  EXPECT_EQ(view.info[1], "1400000000 Bytes / 1.30 GB");
  EXPECT_EQ(view.info[2], "Wiped Image");
  EXPECT_EQ(view.advice, "You should consider rebuilding this image.");
  EXPECT_EQ(view.writes,
            (std::vector<std::string>{"I_Info(0)", "I_Info(1)", "L_Advice", "I_Info(2)"}));
  view.chkT = 1;
  form.chkT_Click();
  view.chkT = 0;
  form.chkT_Click();
  form.cmd3GB_Click();
  ASSERT_EQ(launches.launches.size(), 1u);
  EXPECT_EQ(launches.launches[0].commandLine, R"(C:\Tools\kelvore.exe C:\Images\disc.gcm g  )");
}

TEST_F(MainFormTest, DialogStartsWithTheOpenImageAndCancelKeepsIt) {
  picker.answers = {R"(C:\Images\disc.gcm)", std::nullopt, std::nullopt};
  form.mnuOpen_Click(picker);
  form.mnuOpen_Click(picker);
  form.mnuOpen_Click(picker);
  EXPECT_EQ(picker.initialPaths,
            (std::vector<std::string>{"", R"(C:\Images\disc.gcm)", R"(C:\Images\disc.gcm)"}));
  EXPECT_EQ(state.ImagePath, R"(C:\Images\disc.gcm)");
  form.cmd14Gb_Click();
  EXPECT_EQ(launches.launches.size(), 1u) << "the image stays open for a rebuild";
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainFormTest, ImageThatCannotBeOpenedLeavesTheWindowOnThePreviousImage) {
  picker.answers = {R"(C:\Images\good.gcm)", R"(C:\Images\missing.gcm)"};
  form.mnuOpen_Click(picker);
  view.writes.clear();
  try {
    form.mnuOpen_Click(picker);
    FAIL() << "expected the stream's error";
  } catch (const corvane::Error& error) {
    EXPECT_EQ(error.Number(), 53);
    EXPECT_EQ(error.Source(), "Corvane.File");
  }
  EXPECT_TRUE(view.writes.empty());
  EXPECT_EQ(view.info[0], "good.gcm");
  EXPECT_EQ(state.ImagePath, R"(C:\Images\good.gcm)");
  EXPECT_EQ(form.ImageState(), 1);
  EXPECT_EQ(files.OpenCount(), 1) << "the image shown is still held open";
  EXPECT_TRUE(messages.shown.empty()) << "the error is reported where it is caught";
}

// The box for an error that escaped everything: the error as the untrapped-error box shows
// it, then that the program closes.
TEST(TerminationText, NamesTheErrorThatEndedTheProgram) {
  using corvane::app::TerminationText;
  EXPECT_EQ(TerminationText(std::make_exception_ptr(corvane::Error(53, "Corvane.File"))),
            "File not found\r\n\r\nError 53 (Corvane.File)\r\n\r\nCorvane has to close.");
  EXPECT_EQ(TerminationText(std::make_exception_ptr(std::length_error("vector::reserve"))),
            "vector::reserve\r\n\r\nCorvane has to close.");
  EXPECT_EQ(TerminationText(std::make_exception_ptr(7)),
            "An unknown error stopped the program.\r\n\r\nCorvane has to close.");
  EXPECT_EQ(TerminationText(nullptr),
            "An internal error stopped the program.\r\n\r\nCorvane has to close.");
}

}  // namespace
