#pragma once
// The arithmetic of the color table control, in twips, kept apart from the widget so that it
// can be checked for any width, also widths that are not whole pixels.

#include <QtGlobal>

namespace color_table {

inline constexpr int kColumns = 4;
inline constexpr int kRows = 7;
inline constexpr int kCellCount = kColumns * kRows;

// Largest cell that keeps seven cells within a 16-bit length.
inline constexpr qint16 kMaxCellTwips = 4680;

// A quarter of the width snapped to whole pixels at 96 dpi: 15 * Round(width / 60), halves to
// the even neighbour. Negative widths count as 0; the result never exceeds kMaxCellTwips.
qint16 CellSizeForWidth(int widthTwips);

// A pointer coordinate below 0 becomes 0, one at or beyond extent becomes extent - 1.
float ClampToExtent(float coordinate, float extent);

struct Cell {
  qint16 CX = 0;
  qint16 CY = 0;
  qint16 CT = 0;
};

// The cell under a clamped pointer position; stays inside the grid even for a position beyond
// it (a control stretched past its laid-out size) or a control with no size at all.
Cell CellAt(float xTwips, float yTwips, int cellTwips);

}  // namespace color_table
