#pragma once
// Shapes as selection regions, and painting them on the active layer of a document: the
// generator draws everything through selections and fills, as a script driving the
// application would.

#include <string>
#include <vector>

#include "photoshop/object_model.h"

namespace sample_data {

struct Rgb {
  int red, green, blue;
};

photoshop::SolidColor Solid(Rgb color);
// The colour a fraction t (0..1) of the way from a to b.
Rgb Mix(Rgb a, Rgb b, double t);

photoshop::Region RoundedRect(double left, double top, double right, double bottom, double radius);
// A rectangle with its corners cut off at 45 degrees.
photoshop::Region ChamferedRect(double left, double top, double right, double bottom, double cut);
photoshop::Region Ellipse(double left, double top, double right, double bottom);
// The region mirrored left to right about the vertical line x = axis.
photoshop::Region Mirrored(const photoshop::Region& region, double axis);

// A region to fill, optionally with a hole cut out of it (a frame, a ring).
struct Shape {
  photoshop::Region area;
  photoshop::Region hole;
  Rgb color;
};
using Art = std::vector<Shape>;

Art Mirrored(const Art& art, double axis);

// Fills each shape in turn on the active layer of `doc`, then deselects.
void Paint(photoshop::Document& doc, const Art& art);

// Horizontal bands from `top` to `bottom` colour over the whole canvas of the active layer.
void VerticalGradient(photoshop::Document& doc, Rgb top, Rgb bottom);

}  // namespace sample_data
