#include "tools/build/button_grid.h"

#include <algorithm>
#include <cmath>

namespace build {

GridPlan planGrid(const Box& area, double buttonWidth, double buttonHeight, int count) {
  GridPlan plan;
  if (count <= 0 || buttonWidth <= 0 || buttonHeight <= 0 || area.width() <= 0 || area.height() <= 0) return plan;
  const int maxColumns = int(std::floor(area.width() / buttonWidth));
  const int maxRows = int(std::floor(area.height() / buttonHeight));
  plan.fits = maxColumns * maxRows;
  if (plan.fits < count) return plan;

  const int columns = std::min(maxColumns, count);
  const int rows = (count + columns - 1) / columns;
  const double gapX = (area.width() - columns * buttonWidth) / (columns + 1);
  const double gapY = (area.height() - rows * buttonHeight) / (rows + 1);
  for (int i = 0; i < count; ++i) {
    const int column = i % columns, row = i / columns;
    const double left = std::round(area.left + gapX * (column + 1) + buttonWidth * column);
    const double top = std::round(area.top + gapY * (row + 1) + buttonHeight * row);
    plan.places.push_back({left, top, left + buttonWidth, top + buttonHeight});
  }
  return plan;
}

}  // namespace build
