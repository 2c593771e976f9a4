#include "app/window_placement.h"

#include <algorithm>

namespace corvane::app {
namespace {

// The start of a span of `length` centred over [from, to), kept inside [low, high).
int CentredStart(int from, int to, int length, int low, int high) {
  const int centred = from + ((to - from) - length) / 2;
  return std::max(low, std::min(centred, high - length));
}

}  // namespace

ScreenRect CentredOver(const ScreenRect& area, int width, int height, const ScreenRect& bounds) {
  const int left = CentredStart(area.left, area.right, width, bounds.left, bounds.right);
  const int top = CentredStart(area.top, area.bottom, height, bounds.top, bounds.bottom);
  return {left, top, left + width, top + height};
}

}  // namespace corvane::app
