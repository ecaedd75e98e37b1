#pragma once
// Colours as the user interface holds them (one 32-bit value: red in the low byte, green in the
// second, blue in the third, the top byte ignored), and the procedures that hand such a colour
// to the application or select cells of the colour table layer.

#include <cstdint>

#include "photoshop/object_model.h"

namespace photoshop {

struct ColorComponents {
  int Red = 0;
  int Green = 0;
  int Blue = 0;
};

// red + 256 x green + 65536 x blue; components beyond 0..255 are clamped.
constexpr std::int32_t RGBValue(int red, int green, int blue) {
  const auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
  return clamp(red) + 256 * clamp(green) + 65536 * clamp(blue);
}

// The three components of a colour value; bits above the third byte do not count.
constexpr ColorComponents SplitColorValue(std::int32_t value) {
  return {value & 255, (value & 65280) / 256, (value & 16711680) / 65536};
}

// Loads the colour into WorkSolidColor (red, green, blue in that order) and makes it the
// application's foreground (background) colour; WorkSolidColor keeps the colour afterwards.
void SetPSForegroundColor(Application& PhotoshopApp, SolidColor& WorkSolidColor, std::int32_t LColor);
void SetPSBackgroundColor(Application& PhotoshopApp, SolidColor& WorkSolidColor, std::int32_t LColor);

// The number and text of the error raised when a coordinate leaves the 16-bit range.
inline constexpr std::int32_t kOverflowErrorNumber = 6;
inline constexpr const char* kOverflowErrorText = "Overflow";

// Selects, in the active document, the cells of the colour table from the top-left corner of
// cell (left, top) to the top-left corner of cell (right, bottom): right and bottom are
// exclusive. Cells are 20 pixels square, the grid starts at (70, 20).
void SelectColorTableCells(Application& PhotoshopApp, std::int16_t left, std::int16_t top, std::int16_t right,
                           std::int16_t bottom, int selectionType);

}  // namespace photoshop
