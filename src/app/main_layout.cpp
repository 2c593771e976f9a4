#include "app/main_layout.h"

#include <array>

namespace corvane::app {
namespace {

using enum ControlKind;
namespace id = main_control;

constexpr WindowProperties kMainWindow{
    .className = "frmMain",
    .caption = "Corvane - [0.1.0]",
    .clientWidth = 4680,
    .clientHeight = 3330,
    .toolWindow = false,
    .minimiseButton = true,
    .hasIcon = true,
    .placement = Placement::kCentreOnScreen,
};

constexpr ControlExtras kFrameCaption{.font = FontRole::kBold};
constexpr ControlExtras kOptionBox{.textColour = TextColour::kWindowText};

// clang-format off
constexpr std::array kMainControls{
//             Control         Kind            Container Caption                                                 Left   Top Width Height Tab ID               Other
    ControlRow{"Frame1",       kFrame,         "",       "[ GCM Info ]",                                          120,  120, 4455, 1040,  0, id::kFrame1,     kFrameCaption},
    ControlRow{"InfoLabel(0)", kLabel,         "Frame1", "Image Title:",                                          120,  240, 2775,  255,  1, id::kInfoLabel0},
    ControlRow{"I_Info(0)",    kLabel,         "Frame1", "",                                                     1200,  240, 3135,  255,  4, id::kInfo0},
    ControlRow{"InfoLabel(1)", kLabel,         "Frame1", "Image Size:",                                           120,  480, 2775,  255,  2, id::kInfoLabel1},
    ControlRow{"I_Info(1)",    kLabel,         "Frame1", "",                                                     1200,  480, 3135,  255,  5, id::kInfo1},
    ControlRow{"InfoLabel(2)", kLabel,         "Frame1", "Image Status:",                                         120,  720, 2775,  255,  3, id::kInfoLabel2},
    ControlRow{"I_Info(2)",    kLabel,         "Frame1", "",                                                     1200,  720, 3135,  255,  6, id::kInfo2},
    ControlRow{"Frame2",       kFrame,         "",       "[ Advice ]",                                            120, 1200, 4455,  615,  7, id::kFrame2,     kFrameCaption},
    ControlRow{"L_Advice",     kLabel,         "Frame2", "None given at this time.",                              120,  270, 4215,  255,  8, id::kAdvice,     {.font = FontRole::kItalic}},
    ControlRow{"Frame3",       kFrame,         "",       "[ Options ]",                                           120, 1850, 4455, 1380,  9, id::kFrame3,     kFrameCaption},
    ControlRow{"chkT",         kCheckBox,      "Frame3", "[ T ] Tweak Align Method (Force all files on 32k.)",    120,  240, 4215,  255, 12, id::kChkT,       kOptionBox},
    ControlRow{"chkS",         kCheckBox,      "Frame3", "[ S ] Auto Detection and Fix Streaming Files (Beta!)",  120,  480, 4215,  255, 13, id::kChkS,       kOptionBox},
    ControlRow{"cmd14Gb",      kCommandButton, "Frame3", "1.4 GB Image",                                          120,  840, 2055,  375, 10, id::kCmd14Gb},
    ControlRow{"cmd3GB",       kCommandButton, "Frame3", "3 GB Image",                                           2280,  840, 2055,  375, 11, id::kCmd3GB,     {.tooltip = "This may solve Reading Disk Error!"}},
};

constexpr std::array kMainMenu{
//            Entry        In         Caption       ID
    MenuEntry{"mnuFile",   "",        "File",       0},
    MenuEntry{"mnuOpen",   "mnuFile", "Open Image", main_menu::kOpen},
    MenuEntry{"mnuDel(0)", "mnuFile", "-",          0},
    MenuEntry{"mnuExit",   "mnuFile", "E&xit",      main_menu::kExit},
    MenuEntry{"mnuHelp",   "",        "Help",       0},
    MenuEntry{"mnuAbout",  "mnuHelp", "&About",     main_menu::kAbout},
};
// clang-format on

}  // namespace

const WindowProperties& MainWindowProperties() { return kMainWindow; }

std::span<const ControlRow> MainControls() { return kMainControls; }

std::span<const MenuEntry> MainMenu() { return kMainMenu; }

int InfoValueId(InfoRow row) {
  switch (row) {
    case InfoRow::kSize:
      return id::kInfo1;
    case InfoRow::kStatus:
      return id::kInfo2;
    case InfoRow::kTitle:
      break;
  }
  return id::kInfo0;
}

}  // namespace corvane::app
