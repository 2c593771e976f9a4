#pragma once

namespace corvane::app {

// Window layouts are measured in twips: 1440 to the inch, so 15 to the pixel at 96 dots
// per inch.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDefaultDpi = 96;

// A length in twips as pixels at `dpi`, rounded to the nearest pixel (halves away from
// zero).
int TwipsToPixels(int twips, int dpi);

// The character height in pixels of a font of `hundredthsOfPoint` (825 for 8.25 point) at
// `dpi`, rounded to the nearest pixel: 72 points make an inch.
int PointsToPixels(int hundredthsOfPoint, int dpi);

}  // namespace corvane::app
