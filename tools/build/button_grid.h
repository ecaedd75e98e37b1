#pragma once
// Where an arranged menu puts its buttons: row by row inside an area, as many columns as the
// button width allows, with even gaps between the buttons and around them.

#include <optional>
#include <vector>

namespace build {

struct Box {
  double left = 0, top = 0, right = 0, bottom = 0;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
};

struct GridPlan {
  std::vector<Box> places;  // one per button, in button order; empty when they do not fit
  int fits = 0;             // how many buttons of that size the area holds
};

GridPlan planGrid(const Box& area, double buttonWidth, double buttonHeight, int count);

}  // namespace build
