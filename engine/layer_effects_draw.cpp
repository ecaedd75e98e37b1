#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "engine/blend_modes.h"
#include "engine/layer_effects.h"
#include "engine/vector_mask.h"
#include "engine/layer_effects_paint.h"
#include "engine/paint_span.h"

namespace engine {

namespace fx {

namespace {

// `v` to the nearest millionth: what trigonometry leaves a hair off a whole or half pixel is
// put back on it before it is cut or rounded to pixels.
double snapped(double v) { return std::round(v * 1e6) / 1e6; }

// A gradient laid over a box, as Photoshop draws it: its start and end points, a box's width or
// height apart along its angle through the box's centre (the centre and the end for the round
// styles), are whole pixels, and each pixel takes the gradient at its corner. The points are cut
// down to whole pixels, except a radial gradient's end, which goes to the nearest.
struct GradientFrame {
  GradientStyle style;
  bool reverse;
  double sx, sy, vx, vy, length;

  GradientFrame(const EffectFill& f, const RectF& box) : style(f.style), reverse(f.reverse) {
    const double a = f.angle * std::numbers::pi / 180.0;
    const double ux = std::cos(a), uy = -std::sin(a);
    const double cx = (box.left + box.right) / 2.0 + f.offsetX / 100.0 * box.width();
    const double cy = (box.top + box.bottom) / 2.0 + f.offsetY / 100.0 * box.height();
    // The gradient runs along the line through the box's centre at its angle, from edge to edge.
    const double acrossW = std::fabs(ux) > 1e-9 ? box.width() / std::fabs(ux) : HUGE_VAL;
    const double acrossH = std::fabs(uy) > 1e-9 ? box.height() / std::fabs(uy) : HUGE_VAL;
    const double half = std::max(0.5, std::min(acrossW, acrossH) / 2.0 * std::max(f.scale, 0.01));
    const bool linear = style == GradientStyle::Linear;
    // Cut to whole pixels once snapped, so that an end on a pixel's corner that comes out a
    // hair short (8 as 7.999999999999999) is not a pixel off.
    const auto whole = [](double v) { return std::floor(snapped(v)); };
    sx = whole(linear ? cx - half * ux : cx), sy = whole(linear ? cy - half * uy : cy);
    const auto endAt = [&](double v) { return style == GradientStyle::Radial ? std::round(snapped(v)) : whole(v); };
    vx = endAt(cx + half * ux) - sx, vy = endAt(cy + half * uy) - sy;
    length = std::max(std::hypot(vx, vy), 1e-9);
  }

  // Where in the gradient (0..1) pixel (x, y) lies.
  double at(int x, int y) const {
    const double dx = x - sx, dy = y - sy;
    const double along = (dx * vx + dy * vy) / length, across = (-dx * vy + dy * vx) / length;
    double t = 0.0;
    switch (style) {
      case GradientStyle::Linear: t = along / length; break;
      case GradientStyle::Reflected: t = std::fabs(along) / length; break;
      case GradientStyle::Radial: t = std::hypot(dx, dy) / length; break;
      case GradientStyle::Diamond: t = (std::fabs(along) + std::fabs(across)) / length; break;
      case GradientStyle::Angle: {
        const double turn = std::atan2(-across, along) / (2 * std::numbers::pi);
        t = turn < 0 ? turn + 1.0 : turn;
        break;
      }
    }
    return reverse ? 1.0 - t : t;
  }
};

// Whether the fill paints its plain colour: a gradient without stops or a pattern without a
// tile falls back to it.
bool paintsPlainColor(const EffectFill& f) {
  return !(f.kind == EffectFill::Kind::Gradient && !f.gradient.colors.empty()) &&
         !(f.kind == EffectFill::Kind::Pattern && !f.pattern.empty());
}

// A pattern tile's pixel at a document position. A scaled tile is sampled between its pixels,
// wrapping round its edges; a document pixel's left edge falls half a tile pixel past the
// scaled position, the phase at which Photoshop's stored composites agree.
void samplePattern(const EffectFill& f, int x, int y, std::uint8_t* out) {
  const Rect& t = f.pattern.bounds();
  const int tw = t.width(), th = t.height();
  auto wrap = [](long v, int n) { return int(((v % n) + n) % n); };
  const double scale = std::max(f.scale, 0.01);
  if (std::fabs(scale - 1.0) < 1e-9) {
    const long px = long(std::floor(x - f.offsetX)), py = long(std::floor(y - f.offsetY));
    std::memcpy(out, f.pattern.pixel(t.left + wrap(px, tw), t.top + wrap(py, th)), 4);
    return;
  }
  const double u = (x - f.offsetX) / scale + 0.5, v = (y - f.offsetY) / scale + 0.5;
  const double fu = std::floor(u), fv = std::floor(v);
  const float wx = float(u - fu), wy = float(v - fv);
  const int x0 = wrap(long(fu), tw), x1 = wrap(long(fu) + 1, tw), y0 = wrap(long(fv), th), y1 = wrap(long(fv) + 1, th);
  const std::uint8_t* q[4] = {f.pattern.pixel(t.left + x0, t.top + y0), f.pattern.pixel(t.left + x1, t.top + y0),
                              f.pattern.pixel(t.left + x0, t.top + y1), f.pattern.pixel(t.left + x1, t.top + y1)};
  const float k[4] = {(1 - wx) * (1 - wy), wx * (1 - wy), (1 - wx) * wy, wx * wy};
  float a = 0.0f, c[3] = {0, 0, 0};
  for (int j = 0; j < 4; ++j) {
    const float w = k[j] * q[j][3];
    a += w;
    for (int ch = 0; ch < 3; ++ch) c[ch] += w * q[j][ch];
  }
  for (int ch = 0; ch < 3; ++ch) out[ch] = a > 0.0f ? std::uint8_t(std::clamp(c[ch] / a + 0.5f, 0.0f, 255.0f)) : 0;
  out[3] = std::uint8_t(std::clamp(a + 0.5f, 0.0f, 255.0f));
}

void fillRow(const EffectFill& f, const GradientFrame& frame, int y, int x0, int n, std::uint8_t* rgba) {
  const bool plain = paintsPlainColor(f);
  for (int i = 0; i < n; ++i) {
    std::uint8_t* p = rgba + 4 * i;
    if (plain) {
      p[0] = f.color.r, p[1] = f.color.g, p[2] = f.color.b, p[3] = 255;
    } else if (f.kind == EffectFill::Kind::Gradient) {
      f.gradient.sample(frame.at(x0 + i, y), p);
    } else {
      samplePattern(f, x0 + i, y, p);
    }
  }
}

}  // namespace

void paintCover(Raster& work, const Plane& cover, const EffectFill& fill, const RectF& box, BlendMode mode,
                double opacity, const Plane* within) {
  Rect area = cover.area.intersected(work.bounds());
  if (within) area = area.intersected(within->area);
  if (area.empty() || !(opacity > 0.0)) return;
  paint::Paint p;
  p.mode = mode == BlendMode::PassThrough ? BlendMode::Normal : mode;
  std::vector<std::uint8_t> row(std::size_t(area.width()) * 4);
  const float scale = float(std::clamp(opacity, 0.0, 1.0));
  // A plain colour is the same on every row: only its alpha changes.
  const bool plain = paintsPlainColor(fill);
  const bool inBlend = blend::fillActsInBlend(p.mode);
  const GradientFrame frame(fill, box);
  if (plain) fillRow(fill, frame, area.top, area.left, area.width(), row.data());
  for (int y = area.top; y < area.bottom; ++y) {
    if (!plain) fillRow(fill, frame, y, area.left, area.width(), row.data());
    const float* c = cover.row(y) + (area.left - cover.area.left);
    const float* w = within ? within->row(y) + (area.left - within->area.left) : nullptr;
    std::uint8_t* out = work.mutablePixel(area.left, y);
    for (int i = 0; i < area.width(); ++i) {
      float share = c[i];
      if (w) share = w[i] > kCovered ? share / w[i] : 0.0f;
      std::uint8_t& alpha = row[std::size_t(4 * i + 3)];
      const float strength = std::clamp(share * scale, 0.0f, 1.0f) * (plain ? 1.0f : float(alpha) / 255.0f);
      if (!inBlend) {
        alpha = std::uint8_t(strength * 255.0f + 0.5f);
        continue;
      }
      // These modes fade the effect's colour towards their neutral colour instead of mixing.
      if (strength <= 0.0f) continue;
      paint::Paint one = p;
      one.fill = strength;
      const std::uint8_t opaque[4] = {row[4 * std::size_t(i)], row[4 * std::size_t(i) + 1], row[4 * std::size_t(i) + 2], 255};
      paint::paintSpan(one, out + 4 * i, opaque, nullptr, 1, area.left + i, y);
    }
    if (!inBlend) paint::paintSpan(p, out, row.data(), nullptr, area.width(), area.left, y);
  }
}

void paintColor(Raster& work, const Plane& cover, Rgb color, BlendMode mode, double opacity, const Plane* within) {
  EffectFill f;
  f.color = color;
  paintCover(work, cover, f, cover.area, mode, opacity, within);
}

}  // namespace fx

Raster paintedFill(const EffectFill& fill, const Rect& area, const RectF& box) {
  Raster out(area);
  using Mixing = EffectFill::Mixing;
  if (fill.mixing != Mixing::Srgb && fill.kind == EffectFill::Kind::Gradient && !fill.gradient.colors.empty()) {
    // Each pixel's mix goes to sRGB unrounded: linear light holds dark colours more finely than
    // bytes do, and Lab is no byte colour at all.
    const fx::GradientFrame frame(fill, box);
    for (int y = area.top; y < area.bottom; ++y) {
      std::uint8_t* p = out.mutablePixel(area.left, y);
      for (int x = area.left; x < area.right; ++x, p += 4) {
        double c[4];
        fill.gradient.sample(frame.at(x, y), c);
        if (fill.mixing == Mixing::Lab) {
          // Through 8-bit Lab, as a Lab document's pixels come to sRGB.
          const auto level = [](double v, double lo) { return std::clamp(std::round(v), lo, lo + 255.0); };
          const ColorF rgb = labToSrgb(level(c[0] * 2.55, 0.0) / 2.55, level(c[1], -128.0), level(c[2], -128.0));
          p[0] = std::uint8_t(std::lround(rgb.r)), p[1] = std::uint8_t(std::lround(rgb.g)), p[2] = std::uint8_t(std::lround(rgb.b));
        } else {
          for (int i = 0; i < 3; ++i) p[i] = srgbByte(float(c[i] / 255.0));
        }
        p[3] = std::uint8_t(std::lround(c[3]));
      }
    }
    return out;
  }
  fx::Plane everywhere(area);
  std::fill(everywhere.v.begin(), everywhere.v.end(), 1.0f);
  fx::paintCover(out, everywhere, fill, box, BlendMode::Normal, 1.0);
  if (fill.mixing == Mixing::LinearLight) {
    std::uint8_t* p = out.mutableData();
    for (std::size_t i = 0, n = std::size_t(area.area()); i < n; ++i, p += 4)
      for (int c = 0; c < 3; ++c) p[c] = srgbByte(p[c] / 255.0f);
  }
  return out;
}

namespace {

using fx::Plane;

// The offset of a shadow cast by light from `angle` degrees, `distance` pixels long.
void shadowOffset(double angle, double distance, int& dx, int& dy) {
  const double a = angle * std::numbers::pi / 180.0;
  // Halves round away from zero, once snapped: cos 120 degrees comes out a hair above -0.5, and
  // the 2.5 pixels of a distance of 5 must still make 3.
  dx = int(std::lround(fx::snapped(-std::cos(a) * distance)));
  dy = int(std::lround(fx::snapped(std::sin(a) * distance)));
}

// The spread's (or choke's) part of the size in whole pixels, as Photoshop counts it: a spread
// of 2 % at size 5 grows nothing, where a tenth of a pixel would fill every half-covered pixel.
double spreadPixels(double size, double spread) { return std::round(size * std::clamp(spread, 0.0, 1.0)); }

// A soft shape: grown by the spread's part of the size, blurred by the rest.
void soften(Plane& p, double size, double spread) {
  const double grow = spreadPixels(size, spread);
  fx::dilate(p, grow);
  fx::blur(p, size - grow);
}

// Shrunk by the choke's part of the size, then blurred by the rest (for inner effects, on the
// shape's outside: the plane holds what lies outside the shape).
void softenInside(Plane& outside, double size, double choke) {
  const double grow = spreadPixels(size, choke);
  fx::dilate(outside, grow);
  fx::blur(outside, size - grow, 1.0f);
}

void drawDropShadow(Raster& work, const Plane& shape, const ShadowEffect& s, int fill) {
  int dx = 0, dy = 0;
  shadowOffset(s.angle, s.distance, dx, dy);
  Plane shadow = fx::shifted(shape, dx, dy, 0.0f);
  soften(shadow, s.size, s.spread);
  s.contour.apply(shadow.v);
  // The knockout takes away only what the fill hides: the shadow still shows through the
  // layer's own transparency, its anti-aliased edge too.
  if (s.knocksOut && fill < 255) fx::multiplyInverse(shadow, shape, float(255 - fill) / 255.0f);
  fx::paintColor(work, shadow, s.color, s.mode, s.opacity);
}

void drawInnerShadow(Raster& work, const Plane& shape, const ShadowEffect& s) {
  int dx = 0, dy = 0;
  shadowOffset(s.angle, s.distance, dx, dy);
  Plane outside = shape;
  fx::invert(outside);
  outside = fx::shifted(outside, dx, dy, 1.0f);
  softenInside(outside, s.size, s.spread);
  s.contour.apply(outside.v);
  fx::multiply(outside, shape);
  fx::paintColor(work, outside, s.color, s.mode, s.opacity, &shape);
}

// A glow reaches full strength over the first `range` of its blurred edge; its contour shapes
// the fade across that range.
void applyRange(Plane& glow, const GlowEffect& g) {
  const float scale = float(1.0 / std::max(g.range, 0.01));
  for (float& v : glow.v) v = g.contour(std::min(1.0f, v * scale));
}

// A precise glow's edge: half its strength on the shape's edge (as the softer glow's blur has),
// all of it `size` further in and none `size` further out, in a straight line with the
// distance; the spread (or choke) moves the edge out (or in) by its whole pixels first.
// `outwards` gives the strength outside the shape, otherwise inside it from its outside.
Plane preciseEdge(const Plane& shape, fx::ShapeDistances& distances, const GlowEffect& g, bool outwards) {
  const double grow = spreadPixels(g.size, g.spread);
  const float width = float(std::max(2.0 * (g.size - grow), 1.0));
  const Plane& toShape = distances.toShape();
  const Plane& toOutside = distances.toOutside();
  Plane edge(shape.area);
  for (std::size_t i = 0; i < edge.v.size(); ++i) {
    // From pixel centre to the edge, outwards positive: the planes count a pixel half inside.
    const float out = toShape.v[i] > 0.0f ? toShape.v[i] - 0.5f : 0.5f - toOutside.v[i];
    const float beyond = (outwards ? out : -out) - float(grow);
    edge.v[i] = std::clamp(0.5f - beyond / width, 0.0f, 1.0f);
  }
  return edge;
}

void drawOuterGlow(Raster& work, const Plane& shape, fx::ShapeDistances& distances, const GlowEffect& g,
                   const RectF& box) {
  Plane glow = shape;
  if (g.technique == GlowEffect::Technique::Precise) glow = preciseEdge(shape, distances, g, true);
  else soften(glow, g.size, g.spread);
  applyRange(glow, g);
  fx::paintCover(work, glow, g.fill, box, g.mode, g.opacity);
}

void drawInnerGlow(Raster& work, const Plane& shape, fx::ShapeDistances& distances, const GlowEffect& g,
                   const RectF& box) {
  Plane glow = shape;
  if (g.technique == GlowEffect::Technique::Precise) {
    glow = preciseEdge(shape, distances, g, false);
  } else {
    fx::invert(glow);
    softenInside(glow, g.size, g.spread);
  }
  applyRange(glow, g);
  if (g.fromCenter) fx::invert(glow);
  fx::multiply(glow, shape);
  fx::paintCover(work, glow, g.fill, box, g.mode, g.opacity, &shape);
}

// Satin: two copies of the shape, offset either way along the angle and blurred. It shows where
// they differ; inverted (Photoshop's default), where they agree.
void drawSatin(Raster& work, const Plane& shape, const SatinEffect& s) {
  int dx = 0, dy = 0;
  shadowOffset(s.angle, s.distance, dx, dy);
  Plane a = fx::shifted(shape, dx, dy, 0.0f), b = fx::shifted(shape, -dx, -dy, 0.0f);
  fx::blur(a, s.size);
  fx::blur(b, s.size);
  for (std::size_t i = 0; i < a.v.size(); ++i) {
    const float diff = s.contour(std::fabs(a.v[i] - b.v[i]));
    a.v[i] = (s.invert ? 1.0f - diff : diff) * shape.v[i];
  }
  fx::paintColor(work, a, s.color, s.mode, s.opacity, &shape);
}

// The ring a stroke covers: outside the shape, inside it, or across its edge. Any pixel the
// layer covers at all belongs to its shape.
Plane strokeCover(const Plane& shape, fx::ShapeDistances& distances, const StrokeEffect& s) {
  constexpr float kAny = fx::kCovered;
  Plane ring(shape.area);
  const double outer = s.position == StrokeEffect::Position::Outside ? s.size
                       : s.position == StrokeEffect::Position::Center ? s.size / 2.0 : 0.0;
  const double inner = s.size - outer;
  const Plane& in = distances.toOutside();
  if (outer > 0.0) {
    // Within the shape only its rim takes the stroke, as far as the rim lets the outside show.
    const Plane& d = distances.toShape();
    for (std::size_t i = 0; i < ring.v.size(); ++i) {
      const float uncovered = shape.v[i] < kAny ? 1.0f : in.v[i] <= 1.0f ? 1.0f - shape.v[i] : 0.0f;
      ring.v[i] = std::clamp(float(outer) + 1.0f - d.v[i], 0.0f, 1.0f) * uncovered;
    }
  }
  if (inner > 0.0) {
    const Plane& d = in;
    for (std::size_t i = 0; i < ring.v.size(); ++i)
      if (shape.v[i] >= kAny) ring.v[i] = std::max(ring.v[i], std::clamp(float(inner) + 1.0f - d.v[i], 0.0f, 1.0f));
  }
  return ring;
}

// What gradients and patterns span: the layer's bounds, or the canvas when not aligned with it.
struct Boxes {
  RectF layer;
  Rect canvas;
  RectF of(const EffectFill& f) const { return f.alignWithLayer || canvas.empty() ? layer : RectF(canvas); }
  // A stroke's gradient aligned with the layer spans the stroke's own box: the layer's grown by
  // as far as the stroke reaches out.
  RectF ofStroke(const StrokeEffect& s) const {
    const RectF b = of(s.fill);
    if (!s.fill.alignWithLayer && !canvas.empty()) return b;
    const double out = s.position == StrokeEffect::Position::Outside  ? s.size
                       : s.position == StrokeEffect::Position::Center ? s.size / 2.0
                                                                      : 0.0;
    return RectF{b.left - out, b.top - out, b.right + out, b.bottom + out};
  }
};

// Noise gradients (no stops) and patterns the file does not hold are not drawn.
bool drawable(const EffectFill& f) {
  if (f.kind == EffectFill::Kind::Gradient) return !f.gradient.colors.empty();
  return f.kind != EffectFill::Kind::Pattern || !f.pattern.empty();
}

// The smallest rectangle holding every pixel the shape covers at least `least`.
Rect coveredBox(const Plane& shape, float least) {
  int left = shape.area.right, top = shape.area.bottom, right = shape.area.left, bottom = shape.area.top;
  for (int y = shape.area.top; y < shape.area.bottom; ++y) {
    const float* r = shape.row(y);
    for (int x = 0; x < shape.area.width(); ++x) {
      if (r[x] < least) continue;
      left = std::min(left, shape.area.left + x);
      right = std::max(right, shape.area.left + x + 1);
      top = std::min(top, y);
      bottom = y + 1;
    }
  }
  return left < right ? Rect{left, top, right, bottom} : Rect{};
}

// What gradients aligned with the layer span: a shape layer's box is its path's, as Photoshop
// keeps it, not what its stored pixels happen to cover; other layers' is what they cover at
// least half (a soft edge's faint rim is left out), or all they cover when nothing is that solid.
RectF layerBox(const LayerNode& node, const Plane& shape, const Rect& canvas) {
  const bool fill = node.kind == LayerKind::SolidFill || node.kind == LayerKind::GradientFill ||
                    node.kind == LayerKind::PatternFill;
  if (fill && !node.isSet)
    if (const std::optional<RectF> box = vectorShapeBox(node, canvas)) return *box;
  const Rect solid = coveredBox(shape, 0.5f);
  return solid.empty() ? coveredBox(shape, fx::kCovered) : solid;
}

// surface = surface faded towards `work` by `strength` x weights, in premultiplied terms.
void fadeTowards(Raster& surface, const Raster& work, int strength, const std::uint8_t* weights) {
  const Rect& r = work.bounds();
  for (int y = r.top; y < r.bottom; ++y) {
    const std::uint8_t* w = work.pixel(r.left, y);
    std::uint8_t* d = surface.mutablePixel(r.left, y);
    if (!weights && strength == 255) {
      std::copy(w, w + std::size_t(r.width()) * 4, d);
      continue;
    }
    const std::uint8_t* k = weights ? weights + std::size_t(y - r.top) * std::size_t(r.width()) : nullptr;
    for (int i = 0; i < r.width(); ++i, w += 4, d += 4) {
      const int t = k ? paint::div255(strength * k[i]) : strength;
      if (t == 0) continue;
      if (t == 255) {
        std::copy(w, w + 4, d);
        continue;
      }
      const int a = paint::div255(d[3] * (255 - t) + w[3] * t);
      for (int c = 0; c < 3 && a; ++c) {
        const int premultiplied = paint::div255(d[c] * d[3]) * (255 - t) + paint::div255(w[c] * w[3]) * t;
        d[c] = std::uint8_t(std::min(255, (premultiplied + a / 2) / a));
      }
      d[3] = std::uint8_t(a);
    }
  }
}

// Photoshop blends the anti-aliased edge of a styled text layer in a space of gamma 1.45 (its
// colour setting "Blend Text Colors Using Gamma"): the sRGB values are taken to linear light and
// raised to 1 / 1.45 before they mix. Dark text on light keeps its weight that way. Otherwise as
// fadeTowards, by `weights`.
constexpr double kTextGamma = 1.45;

void fadeTowardsTextGamma(Raster& surface, const Raster& work, const std::uint8_t* weights) {
  static const std::array<float, 256> encoded = [] {
    std::array<float, 256> t{};
    for (std::size_t v = 0; v < t.size(); ++v) t[v] = float(std::pow(srgbToLinear(double(v) / 255.0), 1.0 / kTextGamma));
    return t;
  }();
  const Rect& r = work.bounds();
  for (int y = r.top; y < r.bottom; ++y) {
    const std::uint8_t* w = work.pixel(r.left, y);
    std::uint8_t* d = surface.mutablePixel(r.left, y);
    const std::uint8_t* k = weights + std::size_t(y - r.top) * std::size_t(r.width());
    for (int i = 0; i < r.width(); ++i, w += 4, d += 4) {
      if (k[i] == 0) continue;
      if (k[i] == 255) {
        std::copy(w, w + 4, d);
        continue;
      }
      const float t = float(k[i]) / 255.0f, from = float(d[3]) * (1.0f - t), to = float(w[3]) * t;
      const float a = from + to;
      if (a <= 0.0f) continue;
      for (int c = 0; c < 3; ++c)
        d[c] = srgbByte(std::pow((from * encoded[d[c]] + to * encoded[w[c]]) / a, float(kTextGamma)));
      d[3] = std::uint8_t(std::min(255.0f, a + 0.5f));
    }
  }
}

// An outside stroke lies beneath a layer whose shape is its pixels' coverage (pixels, text, a
// solid colour shape), where the soft edge lets it show. Gradient and pattern fills may fade
// inside their outline, so theirs lies only around the outline.
bool strokeBeneath(const LayerNode& node, const StrokeEffect& s) {
  return s.position == StrokeEffect::Position::Outside &&
         (node.kind == LayerKind::Normal || node.kind == LayerKind::Text || node.kind == LayerKind::SolidFill);
}

// Effects that colour the layer inside its shape, over its own pixels.
bool hasInteriorEffects(const LayerEffects& fx) {
  const auto any = [](const auto& list, const auto& drawn) { return std::any_of(list.begin(), list.end(), drawn); };
  const auto on = [](const auto& e) { return e.enabled; };
  const auto overlay = [](const OverlayEffect& o) { return o.enabled && drawable(o.fill); };
  return any(fx.colorOverlays, overlay) || any(fx.gradientOverlays, overlay) || any(fx.patternOverlays, overlay) ||
         any(fx.satins, on) || any(fx.innerGlows, on) || any(fx.innerShadows, on) ||
         any(fx.strokes, [](const StrokeEffect& s) {
           return s.enabled && drawable(s.fill) && s.position == StrokeEffect::Position::Inside;
         }) ||
         any(fx.bevels, [](const BevelEffect& b) { return b.enabled && fx::isInteriorBevel(b); });
}

// Drop shadows, outer glows and the strokes beneath the layer, onto the backdrop.
void drawBehind(Raster& work, const LayerNode& node, const LayerEffects& fx, const Plane& shape,
                fx::ShapeDistances& distances, const Boxes& boxes) {
  for (auto s = fx.dropShadows.rbegin(); s != fx.dropShadows.rend(); ++s)
    if (s->enabled) drawDropShadow(work, shape, *s, node.fillOpacity);
  for (auto g = fx.outerGlows.rbegin(); g != fx.outerGlows.rend(); ++g)
    if (g->enabled) drawOuterGlow(work, shape, distances, *g, boxes.of(g->fill));
  for (auto s = fx.strokes.rbegin(); s != fx.strokes.rend(); ++s) {
    if (!s->enabled || !drawable(s->fill) || !strokeBeneath(node, *s)) continue;
    Plane cover(shape.area);
    const Plane& d = distances.toShape();
    for (std::size_t i = 0; i < cover.v.size(); ++i) cover.v[i] = std::clamp(float(s->size) + 1.0f - d.v[i], 0.0f, 1.0f);
    fx::paintCover(work, cover, s->fill, boxes.ofStroke(*s), s->mode, s->opacity);
  }
}

// The layer's pixels as a share of its shape: what it shows where its shape is whole.
Raster contentWithinShape(const Raster& source, const Plane& shape) {
  Raster out = source;
  const Rect both = out.bounds().intersected(shape.area);
  for (int y = both.top; y < both.bottom; ++y) {
    std::uint8_t* p = out.mutablePixel(both.left, y);
    const float* s = shape.row(y) + (both.left - shape.area.left);
    for (int i = 0; i < both.width(); ++i, p += 4)
      p[3] = s[i] > fx::kCovered ? std::uint8_t(std::min(255.0f, p[3] / s[i] + 0.5f)) : 0;
  }
  return out;
}

// The layer's pixels and the effects inside its shape: painted as if the shape were whole, then
// faded in by the shape, so that its soft edge shows the backdrop and not the layer twice.
void drawInside(Raster& work, const LayerNode& node, const LayerEffects& fx, const Raster& source, const Plane& shape,
                const Boxes& boxes, fx::ShapeDistances& distances) {
  paint::Paint content = paint::paintOf(node);
  content.alpha = content.fill < 1.0f ? 255 : node.fillOpacity;
  const bool text = node.kind == LayerKind::Text;
  if (!hasInteriorEffects(fx) && !text) {
    paint::paint(source, work, content);
    return;
  }
  Raster inside = work;
  // The overlays, satin and inner glow paint over the layer's pixels; as a group with them they
  // take the layer's blend mode and fill opacity together, otherwise they paint over the result.
  const auto interior = [&](Raster& onto) {
    const auto overlays = [&](const std::vector<OverlayEffect>& list) {
      for (auto o = list.rbegin(); o != list.rend(); ++o)
        if (o->enabled && drawable(o->fill))
          fx::paintCover(onto, shape, o->fill, boxes.of(o->fill), o->mode, o->opacity, &shape);
    };
    overlays(fx.patternOverlays);
    overlays(fx.gradientOverlays);
    overlays(fx.colorOverlays);
    for (auto s = fx.satins.rbegin(); s != fx.satins.rend(); ++s)
      if (s->enabled) drawSatin(onto, shape, *s);
    for (auto g = fx.innerGlows.rbegin(); g != fx.innerGlows.rend(); ++g)
      if (g->enabled) drawInnerGlow(onto, shape, distances, *g, boxes.of(g->fill));
  };
  if (node.blendInteriorEffectsAsGroup) {
    Raster group(work.bounds());
    paint::paint(contentWithinShape(source, shape), group, paint::Paint{});
    interior(group);
    paint::paint(group, inside, content);
  } else {
    paint::paint(contentWithinShape(source, shape), inside, content);
    interior(inside);
  }
  for (auto s = fx.innerShadows.rbegin(); s != fx.innerShadows.rend(); ++s)
    if (s->enabled) drawInnerShadow(inside, shape, *s);
  for (auto s = fx.strokes.rbegin(); s != fx.strokes.rend(); ++s)
    if (s->enabled && drawable(s->fill) && s->position == StrokeEffect::Position::Inside)
      fx::paintCover(inside, strokeCover(shape, distances, *s), s->fill, boxes.ofStroke(*s), s->mode, s->opacity, &shape);
  for (auto b = fx.bevels.rbegin(); b != fx.bevels.rend(); ++b)
    if (b->enabled && fx::isInteriorBevel(*b)) fx::drawBevel(inside, shape, distances, *b, &shape);
  const Rect& r = work.bounds();
  std::vector<std::uint8_t> weights(std::size_t(r.area()));
  for (int y = r.top; y < r.bottom; ++y) {
    const float* s = shape.row(y) + (r.left - shape.area.left);
    std::uint8_t* w = weights.data() + std::size_t(y - r.top) * std::size_t(r.width());
    for (int i = 0; i < r.width(); ++i) w[i] = std::uint8_t(std::clamp(s[i], 0.0f, 1.0f) * 255.0f + 0.5f);
  }
  if (text)
    fadeTowardsTextGamma(work, inside, weights.data());
  else
    fadeTowards(work, inside, 255, weights.data());
}

// What the effects draw, in Photoshop's stacking order, onto `work` (the backdrop).
void drawEffects(Raster& work, const LayerNode& node, const LayerEffects& fx, const Raster& source, const Plane& shape,
                 const Boxes& boxes) {
  fx::ShapeDistances distances(shape);
  drawBehind(work, node, fx, shape, distances, boxes);
  drawInside(work, node, fx, source, shape, boxes, distances);
  for (auto s = fx.strokes.rbegin(); s != fx.strokes.rend(); ++s)
    if (s->enabled && drawable(s->fill) && !strokeBeneath(node, *s) && s->position != StrokeEffect::Position::Inside)
      fx::paintCover(work, strokeCover(shape, distances, *s), s->fill, boxes.ofStroke(*s), s->mode, s->opacity);
  for (auto b = fx.bevels.rbegin(); b != fx.bevels.rend(); ++b)
    if (b->enabled && !fx::isInteriorBevel(*b)) fx::drawBevel(work, shape, distances, *b);
}

}  // namespace

void drawStyledLayer(const LayerNode& node, const LayerEffects& fx, const Raster& source, const Rect& region,
                     Raster& surface, const std::uint8_t* weights, const Rect& canvas, const Mask* outline) {
  const Rect area = region.intersected(surface.bounds());
  if (area.empty()) return;
  Raster work = surface;
  work.clip(area);
  // The shape as far beyond the surface as the effects reach: a shape that runs off the canvas
  // has its edge there, not at the canvas's border.
  const int reach = fx.reach();
  const Rect beyond{area.left - reach, area.top - reach, area.right + reach, area.bottom + reach};
  const Rect shapeArea = area.united((outline ? outline->bounds() : source.bounds()).intersected(beyond));
  const Plane shape = outline ? fx::coverageOf(*outline, shapeArea) : fx::alphaOf(source, shapeArea);
  drawEffects(work, node, fx, source, shape, Boxes{layerBox(node, shape, canvas), canvas});
  fadeTowards(surface, work, node.opacity, weights);
}

}  // namespace engine
