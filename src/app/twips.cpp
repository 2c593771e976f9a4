#include "app/twips.h"

#include <cstdint>
#include <cstdlib>

namespace corvane::app {
namespace {

// value * numerator / denominator, rounded to the nearest integer, halves away from zero.
int ScaleRounded(int value, int numerator, int denominator) {
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = denominator / 2;
  const std::int64_t magnitude = (std::llabs(product) + half) / denominator;
  return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

}  // namespace

int TwipsToPixels(int twips, int dpi) { return ScaleRounded(twips, dpi, kTwipsPerInch); }

int PointsToPixels(int hundredthsOfPoint, int dpi) {
  return ScaleRounded(hundredthsOfPoint, dpi, 72 * 100);
}

}  // namespace corvane::app
