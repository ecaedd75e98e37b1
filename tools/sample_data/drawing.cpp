#include "tools/sample_data/drawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sample_data {

namespace {

// Points along a quarter of an ellipse, from angle `start` (degrees; y grows downwards).
void Arc(photoshop::Region& points, double cx, double cy, double rx, double ry, double start, double sweep, int steps) {
  for (int i = 0; i <= steps; ++i) {
    const double angle = (start + sweep * i / steps) * std::numbers::pi / 180.0;
    points.push_back({cx + rx * std::cos(angle), cy + ry * std::sin(angle)});
  }
}

}  // namespace

photoshop::SolidColor Solid(Rgb color) { return {double(color.red), double(color.green), double(color.blue)}; }

Rgb Mix(Rgb a, Rgb b, double t) {
  const auto mix = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
  return {mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue)};
}

photoshop::Region RoundedRect(double left, double top, double right, double bottom, double radius) {
  photoshop::Region points;
  Arc(points, right - radius, top + radius, radius, radius, -90, 90, 8);
  Arc(points, right - radius, bottom - radius, radius, radius, 0, 90, 8);
  Arc(points, left + radius, bottom - radius, radius, radius, 90, 90, 8);
  Arc(points, left + radius, top + radius, radius, radius, 180, 90, 8);
  return points;
}

photoshop::Region ChamferedRect(double left, double top, double right, double bottom, double cut) {
  return {{left + cut, top},     {right - cut, top},   {right, top + cut},   {right, bottom - cut},
          {right - cut, bottom}, {left + cut, bottom}, {left, bottom - cut}, {left, top + cut}};
}

photoshop::Region Ellipse(double left, double top, double right, double bottom) {
  photoshop::Region points;
  Arc(points, (left + right) / 2, (top + bottom) / 2, (right - left) / 2, (bottom - top) / 2, 0, 360, 64);
  points.pop_back();  // the last point closes onto the first
  return points;
}

photoshop::Region Mirrored(const photoshop::Region& region, double axis) {
  photoshop::Region mirrored;
  for (auto it = region.rbegin(); it != region.rend(); ++it) mirrored.push_back({2 * axis - (*it)[0], (*it)[1]});
  return mirrored;
}

Art Mirrored(const Art& art, double axis) {
  Art mirrored;
  for (const Shape& shape : art)
    mirrored.push_back({Mirrored(shape.area, axis),
                        shape.hole.empty() ? photoshop::Region{} : Mirrored(shape.hole, axis), shape.color});
  return mirrored;
}

void Paint(photoshop::Document& doc, const Art& art) {
  photoshop::Selection selection = doc.Selection();
  for (const Shape& shape : art) {
    selection.Select(shape.area, photoshop::ps::ReplaceSelection, 0, false);
    if (!shape.hole.empty()) selection.Select(shape.hole, photoshop::ps::DiminishSelection, 0, false);
    selection.Fill(Solid(shape.color));
  }
  selection.Deselect();
}

void VerticalGradient(photoshop::Document& doc, Rgb top, Rgb bottom) {
  constexpr int kBand = 2;
  const double width = doc.Width(), height = doc.Height();
  photoshop::Selection selection = doc.Selection();
  for (int y = 0; y < height; y += kBand) {
    selection.Select(photoshop::RectangleRegion(0, y, width, y + kBand), photoshop::ps::ReplaceSelection, 0, false);
    selection.Fill(Solid(Mix(top, bottom, y / std::max(1.0, height - kBand))));
  }
  selection.Deselect();
}

}  // namespace sample_data
