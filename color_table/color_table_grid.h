#pragma once
// The colour table layer: a grid of 4 x 7 cells of 20 pixels from (70, 20), painted group by
// group in this order. A group's first rectangle replaces the selection, a second one adds to
// it, and the selection is then filled with the group's colour. Everything outside the grid is
// white.

#include <array>
#include <cstdint>

#include "photoshop/color_operations.h"

namespace color_table {

struct CellRect {
  std::int16_t left, top, right, bottom;  // cells; right and bottom exclusive
};

struct CellGroup {
  std::array<CellRect, 2> rects;
  int rectCount;
  std::int32_t color;
};

inline constexpr std::int32_t kWhite = photoshop::RGBValue(255, 255, 255);

inline constexpr std::array<CellGroup, 7> kColorTableGroups{{
    {{{{0, 0, 1, 7}, {1, 2, 4, 3}}}, 2, photoshop::RGBValue(0, 0, 0)},  // column 0 and row 2: black
    {{{{1, 4, 4, 5}}}, 1, photoshop::RGBValue(128, 128, 128)},         // grey
    {{{{1, 6, 4, 7}}}, 1, photoshop::RGBValue(200, 200, 200)},         // light grey
    {{{{1, 3, 2, 4}}}, 1, photoshop::RGBValue(218, 0, 18)},            // red
    {{{{1, 5, 2, 6}}}, 1, photoshop::RGBValue(6, 62, 246)},            // blue
    {{{{2, 0, 3, 2}}}, 1, photoshop::RGBValue(243, 0, 137)},
    {{{{3, 0, 4, 2}}}, 1, photoshop::RGBValue(239, 253, 0)},           // yellow
}};

}  // namespace color_table
