#pragma once
// Coverage planes for drawing layer effects: a layer's shape as floats over an area, and the
// blurs, shifts and distances the effects are made of.

#include <vector>

#include "engine/raster.h"

namespace engine::fx {

struct Plane {
  Rect area;
  std::vector<float> v;  // 0..1, row by row
  Plane() = default;
  explicit Plane(const Rect& a, float fill = 0.0f) : area(a), v(std::size_t(a.area()), fill) {}
  float* row(int y) { return v.data() + std::size_t(y - area.top) * std::size_t(area.width()); }
  const float* row(int y) const { return v.data() + std::size_t(y - area.top) * std::size_t(area.width()); }
};

// The alpha of `source` over `area`, 0 beyond its bounds.
Plane alphaOf(const Raster& source, const Rect& area);
// The plane's values moved by (dx, dy); what comes in from beyond the area is `outside`.
Plane shifted(const Plane& p, int dx, int dy, float outside);
// 1 - v everywhere.
void invert(Plane& p);
// a = a * b.
void multiply(Plane& a, const Plane& b);
// a = a * (1 - b).
void multiplyInverse(Plane& a, const Plane& b);
// The soft blur of an effect's size: three box blurs that reach `size` pixels together.
// Beyond the area the plane holds `outside`.
void blur(Plane& p, double size, float outside = 0.0f);
// For each pixel, the Euclidean distance to the nearest pixel whose value is at least 0.5
// (`toShape`) or below 0.5 (otherwise); pixels beyond the area count as below 0.5.
Plane distances(const Plane& p, bool toShape);
// The shape grown by `by` pixels, its edge kept smooth.
void dilate(Plane& p, double by);
// The shape shrunk by `by` pixels.
void erode(Plane& p, double by);

}  // namespace engine::fx
