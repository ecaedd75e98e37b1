#pragma once
// Twips (1/1440 inch) to pixels at a screen's logical resolution and back: 15 twips per pixel
// at 96 dots per inch.

#include <QRect>
#include <cmath>

namespace app::window {

inline constexpr double kTwipsPerInch = 1440.0;

inline int twipsToPixels(double twips, double dotsPerInch) {
  return int(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

inline int pixelsToTwips(double pixels, double dotsPerInch) {
  return int(std::lround(pixels * kTwipsPerInch / dotsPerInch));
}

// A control's rectangle given in twips, at one resolution for both axes.
inline QRect twipsRect(int left, int top, int width, int height, double dotsPerInch) {
  return {twipsToPixels(left, dotsPerInch), twipsToPixels(top, dotsPerInch), twipsToPixels(width, dotsPerInch),
          twipsToPixels(height, dotsPerInch)};
}

}  // namespace app::window
