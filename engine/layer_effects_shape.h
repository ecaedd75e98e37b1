#pragma once
// Coverage planes for drawing layer effects: a layer's shape as floats over an area, and the
// blurs, shifts and distances the effects are made of.

#include <optional>
#include <vector>

#include "engine/mask.h"
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
Plane coverageOf(const Mask& mask, const Rect& area);
// The plane's values moved by (dx, dy); what comes in from beyond the area is `outside`.
Plane shifted(const Plane& p, int dx, int dy, float outside);
// 1 - v everywhere.
void invert(Plane& p);
// a = a * b.
void multiply(Plane& a, const Plane& b);
// a = a * (1 - strength * b).
void multiplyInverse(Plane& a, const Plane& b, float strength);
// The soft blur of an effect's size, as Photoshop's stored shadows, glows, satins and bevels
// show it: a box `size` pixels wide, twice over (rows, then columns), so each pixel spreads as a
// tent across twice the size. Beyond the area the plane holds `outside`.
void blur(Plane& p, double size, float outside = 0.0f);
// How far that blur reaches, in pixels.
int blurReach(double size);
// For each pixel, the distance to the nearest pixel whose value is at least `threshold`
// (`toShape`) or below it (otherwise); pixels beyond the area count as below it. As Photoshop's
// spreads and strokes measure it: the nearest pixel by the straight line, reached by steps to
// the 16 pixels around (1 straight, the square root of 2 diagonally, of 5 a knight's move),
// which run up to 3 % longer between those directions. `nearest`, when given, receives for each
// pixel the index of that nearest pixel.
Plane distances(const Plane& p, bool toShape, float threshold = 0.5f, std::vector<int>* nearest = nullptr);
// Any pixel a layer covers at all belongs to its shape, for the effects that follow its edge.
inline constexpr float kCovered = 1.0f / 512.0f;
// Distances to the shape measured from its anti-aliased edge: a partly covered edge pixel
// holds its edge inside it, as far in as it is covered. Pixels of the shape count as 0; one
// unit more than the distance between pixel centres where the nearest edge pixel is covered
// only partly.
Plane distancesToEdge(const Plane& shape);
// The distances of the shape's pixels to its outside. Every pixel the shape covers only partly
// lies on its edge, as far out as it is covered, so a soft edge belongs to the edge across all
// its width; a fully covered pixel counts its distance to the nearest such pixel, plus that
// pixel's coverage.
Plane distancesToOutsideEdge(const Plane& shape);

// The distances of every pixel to the shape and to its outside, worked out once per layer
// for the effects that need them.
class ShapeDistances {
 public:
  explicit ShapeDistances(const Plane& shape) : shape_(shape) {}
  const Plane& toShape() {
    if (!toShape_) toShape_ = distancesToEdge(shape_);
    return *toShape_;
  }
  const Plane& toOutside() {
    if (!toOutside_) toOutside_ = distancesToOutsideEdge(shape_);
    return *toOutside_;
  }

 private:
  const Plane& shape_;
  std::optional<Plane> toShape_, toOutside_;
};

// The shape grown by `by` pixels, its edge kept smooth.
void dilate(Plane& p, double by);
// The shape shrunk by `by` pixels.
void erode(Plane& p, double by);

}  // namespace engine::fx
