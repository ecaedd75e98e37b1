#include "color_table/color_table_layout.h"

#include <algorithm>

namespace color_table {

qint16 CellSizeForWidth(int widthTwips) {
  const int width = std::max(widthTwips, 0);
  int sixtieths = width / 60;
  const int remainder = width % 60;
  // Integer rounding, so the result does not depend on the floating-point rounding mode.
  if (remainder > 30 || (remainder == 30 && sixtieths % 2 == 1)) ++sixtieths;
  return static_cast<qint16>(std::min(15 * sixtieths, int{kMaxCellTwips}));
}

float ClampToExtent(float coordinate, float extent) {
  if (coordinate < 0) return 0;
  if (coordinate >= extent) return extent - 1;
  return coordinate;
}

Cell CellAt(float xTwips, float yTwips, int cellTwips) {
  if (cellTwips <= 0) return {};
  const auto index = [cellTwips](float coordinate, int count) {
    const float position = std::clamp(coordinate / static_cast<float>(cellTwips), 0.0f, float(count - 1));
    return static_cast<qint16>(position);
  };
  Cell cell;
  cell.CX = index(xTwips, kColumns);
  cell.CY = index(yTwips, kRows);
  cell.CT = static_cast<qint16>(cell.CY * kColumns + cell.CX);
  return cell;
}

}  // namespace color_table
