#pragma once

namespace corvane::app {

// A rectangle in screen pixels, right and bottom exclusive.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

// Where a window of `width` by `height` goes to be centred over `area`, moved as little as
// needed to lie inside `bounds` (the work area of the monitor), and held at the bounds'
// top-left corner when it is larger than they are, so that its caption stays reachable.
ScreenRect CentredOver(const ScreenRect& area, int width, int height, const ScreenRect& bounds);

}  // namespace corvane::app
