// Bevel and emboss: the shape is given a height that rises from its edge over the bevel's
// size (straight for the chisel techniques, rounded for smooth), lit from the bevel's angle
// and altitude; surfaces turned to the light take the highlight, those turned away the shadow.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/layer_effects_paint.h"

namespace engine::fx {

namespace {

// Height 0..1 of a ramp `d` pixels into a rise `size` pixels wide.
float ramp(float d, double size) { return std::clamp(float(d / std::max(size, 1.0)), 0.0f, 1.0f); }

// The bevel's height over the area, and where it shows (its coverage).
void heightField(const Plane& shape, ShapeDistances& dist, const BevelEffect& b, Plane& height, Plane& where) {
  using Style = BevelEffect::Style;
  const Plane &inside = dist.toOutside(), &outside = dist.toShape();
  height = Plane(shape.area);
  where = Plane(shape.area);
  const double s = b.size;
  for (std::size_t i = 0; i < shape.v.size(); ++i) {
    const float in = inside.v[i] - 0.5f, out = outside.v[i] - 0.5f, a = shape.v[i];
    float h = 0.0f;
    switch (b.style) {
      case Style::InnerBevel: case Style::StrokeEmboss:
        h = ramp(in, s);
        where.v[i] = a;
        break;
      case Style::OuterBevel:
        h = a >= 0.5f ? 1.0f : 1.0f - ramp(out, s);
        where.v[i] = (1.0f - a) * (out < float(s) ? 1.0f : 0.0f);
        break;
      case Style::Emboss:
        h = a >= 0.5f ? 0.5f + 0.5f * ramp(in, s / 2) : 0.5f - 0.5f * ramp(out, s / 2);
        where.v[i] = a >= 0.5f ? 1.0f : (out < float(s / 2) ? 1.0f : 0.0f);
        break;
      case Style::PillowEmboss:
        h = a >= 0.5f ? ramp(in, s / 2) : ramp(out, s / 2);
        where.v[i] = a >= 0.5f ? 1.0f : (out < float(s / 2) ? 1.0f : 0.0f);
        break;
    }
    height.v[i] = b.up ? h : -h;
  }
  if (b.style == Style::PillowEmboss)
    for (std::size_t i = 0; i < shape.v.size(); ++i)
      if (shape.v[i] < 0.5f) height.v[i] = -height.v[i];
  if (b.technique == BevelEffect::Technique::Smooth) blur(height, s / 2.0);
  if (b.soften > 0.0) blur(height, b.soften);
}

}  // namespace

void drawBevel(Raster& work, const Plane& shape, ShapeDistances& distances, const BevelEffect& b) {
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
  for (int y = 0; y < h; ++y) {
    const float* row = height.v.data() + std::size_t(y) * std::size_t(w);
    const float* up = y > 0 ? row - w : row;
    const float* down = y + 1 < h ? row + w : row;
    const float* cover = where.v.data() + std::size_t(y) * std::size_t(w);
    for (int x = 0; x < w; ++x) {
      if (cover[x] <= 0.0f) continue;
      const float gx = (row[std::min(x + 1, w - 1)] - row[std::max(x - 1, 0)]) * half;
      const float gy = (down[x] - up[x]) * half;
      const float lit = (-gx * flx - gy * fly + flz) / std::sqrt(gx * gx + gy * gy + 1.0f);
      const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
      light.v[i] = std::clamp((lit - flz) * toLight, 0.0f, 1.0f) * cover[x];
      shade.v[i] = std::clamp((flz - lit) * toShade, 0.0f, 1.0f) * cover[x];
    }
  }
  paintColor(work, shade, b.shadowColor, b.shadowMode, b.shadowOpacity);
  paintColor(work, light, b.highlightColor, b.highlightMode, b.highlightOpacity);
}

}  // namespace engine::fx
