#pragma once
// Twips laid out on the screen: whole pixels at the screen's logical resolution.

#include <QRect>
#include <cmath>

#include "support/twips.h"

namespace support::screen {

inline int twipsToPixels(double twips, double dotsPerInch) {
  return int(std::lround(support::twipsToPixels(twips, dotsPerInch)));
}

inline int pixelsToTwips(double pixels, double dotsPerInch) {
  return int(std::lround(support::pixelsToTwips(pixels, dotsPerInch)));
}

// A control's rectangle given in twips, at one resolution for both axes.
inline QRect twipsRect(int left, int top, int width, int height, double dotsPerInch) {
  return {twipsToPixels(left, dotsPerInch), twipsToPixels(top, dotsPerInch), twipsToPixels(width, dotsPerInch),
          twipsToPixels(height, dotsPerInch)};
}

}  // namespace support::screen
