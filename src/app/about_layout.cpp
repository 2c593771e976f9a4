#include "app/about_layout.h"

#include <array>

namespace corvane::app {
namespace {

using enum ControlKind;
namespace id = about_control;

constexpr WindowProperties kAboutWindow{
    .className = "frmAbout",
    .caption = " About",
    .clientWidth = 4845,
    .clientHeight = 3480,
    .toolWindow = true,
    .minimiseButton = false,
    .hasIcon = false,
    .placement = Placement::kCentreOverOwner,
};

// clang-format off
constexpr std::array kAboutControls{
//             Control    Kind            In  Caption                                                    Left   Top Width Height Tab ID
    ControlRow{"Label1",  kLabel,         "", "This is version 0.1.0",                                     120,  120, 3135, 255,  2, id::kLabel1},
    ControlRow{"Label4",  kLabel,         "", "Using kelvore.exe v1.4b Tarnwell by Oskeln/Varnhold!",      120,  360, 6615, 255,  1, id::kLabel4},
    ControlRow{"Label2",  kLabel,         "", "1: It does not detect if/when a rebuild is done.",          120,  840, 4575, 255,  3, id::kLabel2},
    ControlRow{"Label3",  kLabel,         "", "2. It may not work for you.",                               120, 1080, 4575, 255,  4, id::kLabel3},
    ControlRow{"Label5",  kLabel,         "", "3. It works better than Pellwin's.",                        120, 1320, 4575, 255,  5, id::kLabel5},
    ControlRow{"Label6",  kLabel,         "", "4. It may just aswell be full of shitty bugs.",             120, 1560, 4575, 255,  6, id::kLabel6},
    ControlRow{"Label7",  kLabel,         "", "5. It probably doesn't suit your needs.",                   120, 1800, 4575, 255,  7, id::kLabel7},
    ControlRow{"Label8",  kLabel,         "", "6. This is probably getting annoying.",                     120, 2040, 4575, 255,  8, id::kLabel8},
    ControlRow{"Label9",  kLabel,         "", "7. It was written in 30 minutes, including tweaks/fixes.",  120, 2280, 4575, 255,  9, id::kLabel9},
    ControlRow{"Label10", kLabel,         "", "8. This won't get updated till kelvore gets updated.",      120, 2520, 4575, 255, 10, id::kLabel10},
    ControlRow{"cmdOkay", kCommandButton, "", "Okay !",                                                   3360, 3000, 1335, 375,  0, id::kCmdOkay},
};

constexpr std::array kAboutLines{
//          Line       X1    Y1    X2    Y2
    LineRow{"Line1", 4680,  720,  120,  720},
    LineRow{"Line2", 3360, 2880, 4680, 2880},
};
// clang-format on

}  // namespace

const WindowProperties& AboutWindowProperties() { return kAboutWindow; }

std::span<const ControlRow> AboutControls() { return kAboutControls; }

std::span<const LineRow> AboutLines() { return kAboutLines; }

}  // namespace corvane::app
