#pragma once
// Window geometry is laid out in twips (1/1440 inch); the screen works in pixels. At 96 logical
// dots per inch one pixel is 15 twips.

namespace support {

inline constexpr double kTwipsPerInch = 1440.0;

inline constexpr double twipsToPixels(double twips, double dotsPerInch) {
  return twips * dotsPerInch / kTwipsPerInch;
}

inline constexpr double pixelsToTwips(double pixels, double dotsPerInch) {
  return pixels * kTwipsPerInch / dotsPerInch;
}

}  // namespace support
