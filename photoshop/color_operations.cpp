#include "photoshop/color_operations.h"

#include <limits>
#include <string>

namespace photoshop {

namespace {

void loadColor(SolidColor& color, std::int32_t value) {
  const ColorComponents c = SplitColorValue(value);
  color.RGB().SetRed(c.Red);
  color.RGB().SetGreen(double(c.Green));
  color.RGB().SetBlue(double(c.Blue));
}

// Cell coordinates are 16-bit integers, so the corner arithmetic is too: a result outside
// that range is an overflow, raised before anything reaches the application.
std::int16_t cellCorner(std::int16_t cell, int origin) {
  const int scaled = 20 * int(cell);
  const int corner = scaled + origin;
  constexpr int lo = std::numeric_limits<std::int16_t>::min(), hi = std::numeric_limits<std::int16_t>::max();
  if (scaled < lo || scaled > hi || corner < lo || corner > hi)
    throw AutomationError(kOverflowErrorNumber, kOverflowErrorText, "SelectColorTableCells");
  return std::int16_t(corner);
}

}  // namespace

void SetPSForegroundColor(Application& PhotoshopApp, SolidColor& WorkSolidColor, std::int32_t LColor) {
  loadColor(WorkSolidColor, LColor);
  PhotoshopApp.SetForegroundColor(WorkSolidColor);
}

void SetPSBackgroundColor(Application& PhotoshopApp, SolidColor& WorkSolidColor, std::int32_t LColor) {
  loadColor(WorkSolidColor, LColor);
  PhotoshopApp.SetBackgroundColor(WorkSolidColor);
}

void SelectColorTableCells(Application& PhotoshopApp, std::int16_t left, std::int16_t top, std::int16_t right,
                           std::int16_t bottom, int selectionType) {
  const double x1 = cellCorner(left, 70), y1 = cellCorner(top, 20);
  const double x2 = cellCorner(right, 70), y2 = cellCorner(bottom, 20);
  const Region region{{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
  PhotoshopApp.ActiveDocument().Selection().Select(region, selectionType, 0, false);
}

}  // namespace photoshop
