// Bevel and emboss: the shape is given a height that rises across its edge over the bevel's
// size (straight for the chisel techniques, a blurred matte for smooth), lit from the bevel's angle
// and altitude; surfaces turned to the light take the highlight, those turned away the shadow.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/layer_effects_paint.h"

namespace engine::fx {

namespace {

// Height 0..1 of a ramp `d` pixels into a rise `size` pixels wide.
float ramp(float d, double size) { return std::clamp(float(d / std::max(size, 1.0)), 0.0f, 1.0f); }

// The smooth technique lights a blurred matte: the height runs from 0 a size's width outside
// the edge, through a half at the edge, to 1 a size's width inside it, with no ridge where a
// shape is narrower than the bevel. The embosses rise over half a size on either side of the
// edge, as steep as a bevel: their matte is blurred by half the size and their height halved.
// A pillow emboss folds the height at the edge, so the edge lies in a groove.
void smoothHeight(const Plane& shape, const BevelEffect& b, Plane& height) {
  const bool emboss = !isInteriorBevel(b) && b.style != BevelEffect::Style::OuterBevel;
  height = shape;
  blur(height, std::max(emboss ? b.size / 2 : b.size, 1.0));
  if (b.style == BevelEffect::Style::PillowEmboss)
    for (float& v : height.v) v = std::fabs(2.0f * v - 1.0f);
  if (emboss)
    for (float& v : height.v) v *= 0.5f;
}

// The chisel techniques measure the distance to the edge: a straight rise a size's width wide
// (half a size on either side of the edge for the embosses).
void chiselHeight(const Plane& shape, ShapeDistances& dist, const BevelEffect& b, Plane& height) {
  using Style = BevelEffect::Style;
  const Plane& inside = dist.toOutside();
  const Plane* outside = isInteriorBevel(b) ? nullptr : &dist.toShape();
  height = Plane(shape.area);
  const double s = b.size;
  for (std::size_t i = 0; i < shape.v.size(); ++i) {
    const float in = inside.v[i] - 0.5f, out = outside ? outside->v[i] - 0.5f : 0.0f;
    const bool within = shape.v[i] >= 0.5f;
    switch (b.style) {
      case Style::InnerBevel: case Style::StrokeEmboss: height.v[i] = ramp(in, s); break;
      case Style::OuterBevel: height.v[i] = within ? 1.0f : 1.0f - ramp(out, s); break;
      case Style::Emboss: height.v[i] = within ? 0.5f + 0.5f * ramp(in, s / 2) : 0.5f - 0.5f * ramp(out, s / 2); break;
      case Style::PillowEmboss: height.v[i] = within ? ramp(in, s / 2) : ramp(out, s / 2); break;
    }
  }
}

// The bevel's height over the area, and where it shows (its coverage).
void heightField(const Plane& shape, ShapeDistances& dist, const BevelEffect& b, Plane& height, Plane& where) {
  using Style = BevelEffect::Style;
  const bool smooth = b.technique == BevelEffect::Technique::Smooth;
  if (smooth)
    smoothHeight(shape, b, height);
  else
    chiselHeight(shape, dist, b, height);
  // How far outside the edge the embosses and the outer bevel show.
  const float reach = float(b.style == Style::OuterBevel ? b.size : b.size / 2);
  const Plane* outside = isInteriorBevel(b) ? nullptr : &dist.toShape();
  b.profile.apply(height.v);
  where = Plane(shape.area);
  for (std::size_t i = 0; i < shape.v.size(); ++i) {
    const float a = shape.v[i], near = outside && outside->v[i] - 0.5f < reach ? 1.0f : 0.0f;
    switch (b.style) {
      case Style::InnerBevel: case Style::StrokeEmboss: where.v[i] = a; break;
      case Style::OuterBevel: where.v[i] = (1.0f - a) * near; break;
      case Style::Emboss: case Style::PillowEmboss: where.v[i] = a >= 0.5f ? 1.0f : near; break;
    }
    if (!b.up) height.v[i] = -height.v[i];
  }
  if (b.soften > 0.0) blur(height, b.soften);
}

}  // namespace

bool isInteriorBevel(const BevelEffect& b) {
  return b.style == BevelEffect::Style::InnerBevel || b.style == BevelEffect::Style::StrokeEmboss;
}

void drawBevel(Raster& work, const Plane& shape, ShapeDistances& distances, const BevelEffect& b, const Plane* within) {
  Plane height, where;
  heightField(shape, distances, b, height, where);
  const double az = b.angle * std::numbers::pi / 180.0, alt = std::clamp(b.altitude, 0.0, 90.0) * std::numbers::pi / 180.0;
  const double lx = std::cos(alt) * std::cos(az), ly = -std::cos(alt) * std::sin(az), lz = std::sin(alt);
  // The rise is `depth` times the size high, so full depth slopes at 45 degrees.
  const double rise = std::max(b.size, 1.0) * std::max(b.depth, 0.01);
  Plane light(shape.area), shade(shape.area);
  const int w = shape.area.width(), h = shape.area.height();
  const float flx = float(lx), fly = float(ly), flz = float(lz), half = float(rise / 2.0);
  const float toLight = 1.0f / float(std::max(1.0 - lz, 1e-6)), toShade = 1.0f / float(std::max(lz, 1e-6));
  // The gloss contour reshapes the light each surface takes before it is split into highlight
  // and shadow about a flat surface's; a flat face under a curved gloss is lit or shaded too.
  const bool glossy = !b.gloss.isLinear();
  for (int y = 0; y < h; ++y) {
    const float* row = height.v.data() + std::size_t(y) * std::size_t(w);
    const float* up = y > 0 ? row - w : row;
    const float* down = y + 1 < h ? row + w : row;
    const float* cover = where.v.data() + std::size_t(y) * std::size_t(w);
    for (int x = 0; x < w; ++x) {
      if (cover[x] <= 0.0f) continue;
      const float gx = (row[std::min(x + 1, w - 1)] - row[std::max(x - 1, 0)]) * half;
      const float gy = (down[x] - up[x]) * half;
      float lit = (-gx * flx - gy * fly + flz) / std::sqrt(gx * gx + gy * gy + 1.0f);
      if (glossy) lit = b.gloss(std::clamp(lit, 0.0f, 1.0f));
      const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
      light.v[i] = std::clamp((lit - flz) * toLight, 0.0f, 1.0f) * cover[x];
      shade.v[i] = std::clamp((flz - lit) * toShade, 0.0f, 1.0f) * cover[x];
    }
  }
  paintColor(work, shade, b.shadowColor, b.shadowMode, b.shadowOpacity, within);
  paintColor(work, light, b.highlightColor, b.highlightMode, b.highlightOpacity, within);
}

}  // namespace engine::fx
