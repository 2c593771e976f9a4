#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace corvane::app {

// A rectangle in twips: Left and Top from the top-left corner of the container.
struct TwipsBox {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A rectangle in pixels, from the top-left corner of the window's client area.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

enum class ControlKind { kFrame, kLabel, kCheckBox, kCommandButton };

// Which of the window's fonts a control uses.
enum class FontRole { kForm, kBold, kItalic };

// The system colour a control's text is drawn in.
enum class TextColour { kButtonText, kWindowText };

struct FontDescription {
  std::string_view face;
  int hundredthsOfPoint = 0;
  int weight = 0;
  bool italic = false;
  int charSet = 0;
};

// Arial 8.25 point, character set 0 (ANSI): the windows' font and its two variants.
inline constexpr FontDescription kFormFont{"Arial", 825, 400, false, 0};
inline constexpr FontDescription kBoldFont{"Arial", 825, 700, false, 0};
inline constexpr FontDescription kItalicFont{"Arial", 825, 400, true, 0};

const FontDescription& FontFor(FontRole role);

// What only some controls have.
struct ControlExtras {
  FontRole font = FontRole::kForm;
  TextColour textColour = TextColour::kButtonText;
  std::string_view tooltip = {};
};

// One row of a window's control table. `container` names the frame the control lies in,
// or is empty for the window itself.
struct ControlRow {
  std::string_view name;
  ControlKind kind;
  std::string_view container;
  std::string_view caption;
  TwipsBox box;
  int tabIndex = 0;
  int id = 0;
  ControlExtras extras = {};
};

// A thin horizontal or vertical line in the window's text colour, in client twips.
struct LineRow {
  std::string_view name;
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
};

enum class Placement { kCentreOnScreen, kCentreOverOwner };

// A window's own properties.
struct WindowProperties {
  std::string_view className;
  std::string_view caption;
  int clientWidth = 0;  // twips
  int clientHeight = 0;
  bool toolWindow = false;  // small caption with a close box only, no taskbar button
  bool minimiseButton = false;
  bool hasIcon = false;
  Placement placement = Placement::kCentreOnScreen;
};

// The control of that name, or null.
const ControlRow* FindControl(std::span<const ControlRow> controls, std::string_view name);

// The control's rectangle measured from the window's client area: its own Left and Top
// plus those of the frames it lies in.
TwipsBox ClientBox(std::span<const ControlRow> controls, const ControlRow& control);

// A client rectangle in pixels at `dpi`. Each edge is rounded on its own, so that
// controls that meet in twips also meet in pixels.
PixelRect ToPixels(const TwipsBox& box, int dpi);

// The controls in the order they are created: by tab index, which makes it the order in
// which the keyboard focus moves through them.
std::vector<const ControlRow*> CreationOrder(std::span<const ControlRow> controls);

// Frames and labels never take the keyboard focus.
bool TakesFocus(ControlKind kind);

}  // namespace corvane::app
