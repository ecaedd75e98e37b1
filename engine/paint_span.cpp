#include "engine/paint_span.h"

#include <algorithm>
#include <cmath>

#include "engine/blend_modes.h"
#include "engine/composite.h"

namespace engine::paint {

namespace {

// Straight-alpha "source over" of an 8-bit colour with coverage a (1..255).
inline void over(std::uint8_t* d, int r, int g, int b, int a) {
  const int da = d[3];
  if (a == 255 || da == 0) {
    d[0] = std::uint8_t(r);
    d[1] = std::uint8_t(g);
    d[2] = std::uint8_t(b);
    d[3] = std::uint8_t(a == 255 ? 255 : a);
    return;
  }
  if (da == 255) {
    d[0] = std::uint8_t(div255(r * a + d[0] * (255 - a)));
    d[1] = std::uint8_t(div255(g * a + d[1] * (255 - a)));
    d[2] = std::uint8_t(div255(b * a + d[2] * (255 - a)));
    return;
  }
  const int ws = a * 255, wd = da * (255 - a), total = ws + wd;
  d[0] = std::uint8_t((r * ws + d[0] * wd + total / 2) / total);
  d[1] = std::uint8_t((g * ws + d[1] * wd + total / 2) / total);
  d[2] = std::uint8_t((b * ws + d[2] * wd + total / 2) / total);
  d[3] = std::uint8_t((total + 127) / 255);
}

// "Source over" as a Lab document mixes: the colours are weighed in L*a*b*, not in RGB.
void overInLab(std::uint8_t* d, int r, int g, int b, int a) {
  const int da = d[3];
  if (a == 255 || da == 0) return over(d, r, g, b, a);
  const std::uint8_t source[3] = {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)};
  const ColorF s = srgbToLab(source), t = srgbToLab(d);
  const double ws = a * 255.0, wd = da * (255.0 - a), total = ws + wd;
  const ColorF mixed = labToSrgb((s.r * ws + t.r * wd) / total, (s.g * ws + t.g * wd) / total, (s.b * ws + t.b * wd) / total);
  d[0] = std::uint8_t(std::lround(mixed.r));
  d[1] = std::uint8_t(std::lround(mixed.g));
  d[2] = std::uint8_t(std::lround(mixed.b));
  d[3] = std::uint8_t((int(total) + 127) / 255);
}

inline std::uint8_t toByte(float v) { return std::uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

// A cheap, stable per-pixel threshold for Dissolve.
float dissolveNoise(int x, int y) {
  std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return float((h ^ (h >> 16)) & 0xFFFF) / 65536.0f;
}

// The blends that need floating point: non-separable modes, dissolve, fill inside the blend.
// `alpha` is the coverage without fill for the fill-in-blend modes, with it otherwise.
void paintPixelFloat(const Paint& p, std::uint8_t* d, const std::uint8_t* s, int alpha, int x, int y) {
  if (p.mode == BlendMode::Dissolve) {
    if (dissolveNoise(x, y) * 255.0f < float(alpha)) over(d, s[0], s[1], s[2], 255);
    return;
  }
  const float ab = d[3] / 255.0f;
  const float full = alpha / 255.0f;
  const float as = full * p.fill;  // coverage over transparency
  const float cs[3] = {s[0] / 255.0f, s[1] / 255.0f, s[2] / 255.0f};
  const float cb[3] = {d[0] / 255.0f, d[1] / 255.0f, d[2] / 255.0f};
  float mixed[3];
  if (blend::isNonSeparable(p.mode)) {
    blendColor(p.mode, cb, cs, mixed);
  } else {
    for (int c = 0; c < 3; ++c) mixed[c] = blend::separableWithFill(p.mode, cb[c], cs[c], p.fill);
  }
  const float ao = as + ab * (1.0f - as);
  if (ao <= 0.0f) return;
  for (int c = 0; c < 3; ++c) d[c] = toByte(((1.0f - ab) * as * cs[c] + ab * full * mixed[c] + ab * (1.0f - full) * cb[c]) / ao);
  d[3] = toByte(ao);
}

Rect paintRegion(const Rect& sourceBounds, const Raster& surface, const Paint& p) {
  Rect region = sourceBounds.intersected(surface.bounds());
  if (p.mask && p.mask->outside() == 0) region = region.intersected(p.mask->bounds());
  if (p.clip) region = region.intersected(p.clip->area);
  return region;
}

}  // namespace

Paint paintOf(const LayerNode& node) {
  Paint p;
  p.mode = node.blendMode == BlendMode::PassThrough ? BlendMode::Normal : node.blendMode;
  if (blend::fillActsInBlend(p.mode) && node.fillOpacity < 255) {
    p.alpha = node.opacity;
    p.fill = node.fillOpacity / 255.0f;
  } else {
    p.alpha = div255(node.opacity * node.fillOpacity);
  }
  return p;
}

namespace {

// One span, its partial coverage mixed in L*a*b* or in RGB; chosen once per span, not per pixel.
template <bool InLab>
void paintSpanMixing(const Paint& p, std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* weights, int n, int x,
                     int y) {
  const bool floating = p.fill < 1.0f || p.mode == BlendMode::Dissolve || blend::isNonSeparable(p.mode);
  const std::uint8_t* table = floating ? nullptr : blend::separableTable(p.mode);
  const auto mix = [](std::uint8_t* to, int r, int g, int b, int a) {
    if constexpr (InLab) overInLab(to, r, g, b, a);
    else over(to, r, g, b, a);
  };
  for (int i = 0; i < n; ++i, d += 4, s += 4) {
    int a = s[3];
    if (!a) continue;
    if (p.alpha != 255) a = div255(a * p.alpha);
    if (weights) a = div255(a * weights[i]);
    if (!a) continue;
    if (floating) {
      paintPixelFloat(p, d, s, a, x + i, y);
    } else if (!table || d[3] == 0) {
      mix(d, s[0], s[1], s[2], a);
    } else {
      const int da = d[3];
      int m[3];
      for (int c = 0; c < 3; ++c) {
        const int blended = table[std::size_t(s[c]) * 256 + d[c]];
        m[c] = da == 255 ? blended : div255((255 - da) * s[c] + da * blended);
      }
      mix(d, m[0], m[1], m[2], a);
    }
  }
}

}  // namespace

void paintSpan(const Paint& p, std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* weights, int n, int x, int y) {
  if (p.mixInLab) paintSpanMixing<true>(p, d, s, weights, n, x, y);
  else paintSpanMixing<false>(p, d, s, weights, n, x, y);
}

void maskRow(const Mask& mask, int y, int x0, int n, std::uint8_t* out) {
  const Rect& b = mask.bounds();
  if (y < b.top || y >= b.bottom || b.empty()) {
    std::fill(out, out + n, mask.outside());
    return;
  }
  const std::uint8_t* row = mask.row(y);
  for (int i = 0; i < n; ++i) {
    const int x = x0 + i;
    out[i] = x >= b.left && x < b.right ? row[x - b.left] : mask.outside();
  }
}

void paint(const Raster& source, Raster& surface, const Paint& p) {
  const Rect region = paintRegion(source.bounds(), surface, p);
  if (region.empty() || p.alpha <= 0) return;
  const int n = region.width();
  std::vector<std::uint8_t> weights(p.mask || p.clip ? std::size_t(n) : 0);
  std::uint8_t* data = surface.mutableData();
  const Rect& sb = surface.bounds();
  for (int y = region.top; y < region.bottom; ++y) {
    const std::uint8_t* w = nullptr;
    if (p.mask) {
      maskRow(*p.mask, y, region.left, n, weights.data());
      w = weights.data();
    }
    if (p.clip) {
      const std::uint8_t* c = p.clip->row(y) + (region.left - p.clip->area.left);
      if (w) {
        for (int i = 0; i < n; ++i) weights[std::size_t(i)] = std::uint8_t(div255(weights[std::size_t(i)] * c[i]));
      } else {
        w = c;
      }
    }
    std::uint8_t* d = data + (std::size_t(y - sb.top) * sb.width() + (region.left - sb.left)) * 4;
    paintSpan(p, d, source.pixel(region.left, y), w, n, region.left, y);
  }
}

}  // namespace engine::paint
