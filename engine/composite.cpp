#include "engine/composite.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/blend_modes.h"

namespace engine {

namespace {

// x / 255 rounded, for 0 <= x <= 255 * 255 * 2.
inline int div255(int x) { return (x + 128 + ((x + 128) >> 8)) >> 8; }

// An 8-bit weight per pixel over a rectangle: how much of a clipping group's base is there.
struct Coverage {
  Rect area;
  std::vector<std::uint8_t> values;
  explicit Coverage(const Rect& a) : area(a), values(std::size_t(a.area()), 0) {}
  std::uint8_t* row(int y) { return values.data() + std::size_t(y - area.top) * area.width(); }
  const std::uint8_t* row(int y) const { return values.data() + std::size_t(y - area.top) * area.width(); }
};

bool hasMask(const LayerNode& node) { return !node.mask.disabled && !node.mask.empty(); }

// How a source (a layer's pixels or a group's isolated result) is painted onto a surface.
struct Paint {
  BlendMode mode = BlendMode::Normal;
  int alpha = 255;     // opacity, times fill opacity unless the fill acts in the blend
  float fill = 1.0f;   // below 1 only for the modes whose fill acts in the blend
  const LayerMask* mask = nullptr;
  const Coverage* clip = nullptr;
};

Paint paintOf(const LayerNode& node, const Coverage* clip) {
  Paint p;
  p.mode = node.blendMode == BlendMode::PassThrough ? BlendMode::Normal : node.blendMode;
  if (blend::fillActsInBlend(p.mode) && node.fillOpacity < 255) {
    p.alpha = node.opacity;
    p.fill = node.fillOpacity / 255.0f;
  } else {
    p.alpha = div255(node.opacity * node.fillOpacity);
  }
  p.mask = hasMask(node) ? &node.mask : nullptr;
  p.clip = clip;
  return p;
}

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

// Paints `n` source pixels onto `n` surface pixels; `weights` (may be null) scales coverage.
void paintSpan(const Paint& p, std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* weights, int n, int x, int y) {
  const bool floating = p.fill < 1.0f || p.mode == BlendMode::Dissolve || blend::isNonSeparable(p.mode);
  const std::uint8_t* table = floating ? nullptr : blend::separableTable(p.mode);
  for (int i = 0; i < n; ++i, d += 4, s += 4) {
    int a = s[3];
    if (!a) continue;
    if (p.alpha != 255) a = div255(a * p.alpha);
    if (weights) a = div255(a * weights[i]);
    if (!a) continue;
    if (floating) {
      paintPixelFloat(p, d, s, a, x + i, y);
    } else if (!table || d[3] == 0) {
      over(d, s[0], s[1], s[2], a);
    } else {
      const int da = d[3];
      int m[3];
      for (int c = 0; c < 3; ++c) {
        const int blended = table[std::size_t(s[c]) * 256 + d[c]];
        m[c] = da == 255 ? blended : div255((255 - da) * s[c] + da * blended);
      }
      over(d, m[0], m[1], m[2], a);
    }
  }
}

// The mask values of one row segment, outside value beyond the mask's own bounds.
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

Rect paintRegion(const Rect& sourceBounds, const Raster& surface, const Paint& p) {
  Rect region = sourceBounds.intersected(surface.bounds());
  if (p.mask && p.mask->pixels.outside() == 0) region = region.intersected(p.mask->pixels.bounds());
  if (p.clip) region = region.intersected(p.clip->area);
  return region;
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
      maskRow(p.mask->pixels, y, region.left, n, weights.data());
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

Rect visibleBounds(const std::vector<LayerNode>& layers) {
  Rect r;
  for (const LayerNode& n : layers) {
    if (!n.visible) continue;
    r = r.united(n.isSet ? visibleBounds(n.children) : n.pixels.bounds());
  }
  return r;
}

// The area a node can change: its visible content, cut by a mask that hides everything beyond
// its own bounds.
Rect nodeRegion(const LayerNode& node, const Rect& within) {
  Rect r = (node.isSet ? visibleBounds(node.children) : node.pixels.bounds()).intersected(within);
  if (hasMask(node) && node.mask.pixels.outside() == 0) r = r.intersected(node.mask.pixels.bounds());
  return r;
}

Raster copyArea(const Raster& surface, const Rect& area) {
  Raster out(area);
  for (int y = area.top; y < area.bottom; ++y)
    std::memcpy(out.mutablePixel(area.left, y), surface.pixel(area.left, y), std::size_t(area.width()) * 4);
  return out;
}

void drawStack(const std::vector<LayerNode>& layers, Raster& surface);
void drawNode(const LayerNode& node, Raster& surface, const Coverage* clip);

// Members blend straight into what lies below; the set's opacity and mask then fade between
// the surface as it was and as the members left it.
void drawPassThrough(const LayerNode& set, Raster& surface) {
  const int strength = div255(set.opacity * set.fillOpacity);
  const bool masked = hasMask(set);
  if (strength == 255 && !masked) {
    drawStack(set.children, surface);
    return;
  }
  const Rect region = visibleBounds(set.children).intersected(surface.bounds());
  if (region.empty()) return;
  const Raster before = copyArea(surface, region);
  drawStack(set.children, surface);
  std::vector<std::uint8_t> weights(std::size_t(region.width()), std::uint8_t(strength));
  for (int y = region.top; y < region.bottom; ++y) {
    if (masked) {
      maskRow(set.mask.pixels, y, region.left, region.width(), weights.data());
      for (std::uint8_t& w : weights) w = std::uint8_t(div255(w * strength));
    }
    const std::uint8_t* b = before.pixel(region.left, y);
    std::uint8_t* d = surface.mutablePixel(region.left, y);
    for (int i = 0; i < region.width(); ++i, b += 4, d += 4) {
      const int t = weights[std::size_t(i)];
      if (t == 255) continue;
      // Fade in premultiplied terms so that colours of transparent pixels do not bleed in.
      const int a = div255(b[3] * (255 - t) + d[3] * t);
      if (!a) {
        d[0] = d[1] = d[2] = d[3] = 0;
        continue;
      }
      for (int c = 0; c < 3; ++c) {
        const int premultiplied = div255(b[c] * b[3]) * (255 - t) + div255(d[c] * d[3]) * t;  // x 255
        d[c] = std::uint8_t(std::min(255, (premultiplied + a / 2) / a));
      }
      d[3] = std::uint8_t(a);
    }
  }
}

void drawIsolatedSet(const LayerNode& set, Raster& surface, const Coverage* clip) {
  Rect region = nodeRegion(set, surface.bounds());
  if (clip) region = region.intersected(clip->area);
  if (region.empty()) return;
  Raster isolated(region);
  drawStack(set.children, isolated);
  Paint p = paintOf(set, clip);
  paint(isolated, surface, p);
}

void drawNode(const LayerNode& node, Raster& surface, const Coverage* clip) {
  if (!node.isSet) {
    if (!node.pixels.empty()) paint(node.pixels, surface, paintOf(node, clip));
  } else if (node.blendMode == BlendMode::PassThrough && !clip) {
    drawPassThrough(node, surface);
  } else {
    drawIsolatedSet(node, surface, clip);
  }
}

// The base's shape: its pixels' (or members') alpha times its mask, without opacity or fill.
Coverage baseCoverage(const LayerNode& base, const Raster& pixels, const Rect& region) {
  Coverage cov(region);
  std::vector<std::uint8_t> m(std::size_t(region.width()), 255);
  for (int y = region.top; y < region.bottom; ++y) {
    if (hasMask(base)) maskRow(base.mask.pixels, y, region.left, region.width(), m.data());
    std::uint8_t* out = cov.row(y);
    if (!pixels.bounds().contains(Rect{region.left, y, region.right, y + 1})) continue;
    const std::uint8_t* p = pixels.pixel(region.left, y);
    for (int i = 0; i < region.width(); ++i) out[i] = std::uint8_t(div255(p[4 * i + 3] * m[std::size_t(i)]));
  }
  return cov;
}

// A base layer and the layers clipped to it. The clipped layers paint only where the base is
// and take on the base's blend mode and opacity: they are composited onto the base's colours
// (as if the base were opaque), the result gets the base's shape and then blends as the base.
// A pass-through set as base lets its members and the clipped layers reach what lies below.
void drawClippingGroup(const LayerNode& base, const std::vector<const LayerNode*>& clipped, Raster& surface) {
  const Rect region = nodeRegion(base, surface.bounds());
  if (region.empty()) return;
  if (base.isSet && base.blendMode == BlendMode::PassThrough) {
    Raster isolated(region);
    drawStack(base.children, isolated);
    const Coverage cov = baseCoverage(base, isolated, region);
    drawPassThrough(base, surface);
    for (const LayerNode* c : clipped) drawNode(*c, surface, &cov);
    return;
  }
  Raster group(region);
  if (base.isSet) {
    Raster isolated(region);
    drawStack(base.children, isolated);
    group = copyArea(isolated, region);
  } else {
    group = copyArea(base.pixels, region.intersected(base.pixels.bounds()));
    group.cover(region);
  }
  const Coverage cov = baseCoverage(base, group, region);
  const int fill = base.isSet ? 255 : base.fillOpacity;
  std::uint8_t* g = group.mutableData();
  for (std::int64_t i = 0, n = region.area(); i < n; ++i) g[4 * i + 3] = std::uint8_t(fill);
  for (const LayerNode* c : clipped) drawNode(*c, group, nullptr);
  for (std::int64_t i = 0, n = region.area(); i < n; ++i) g[4 * i + 3] = std::uint8_t(div255(g[4 * i + 3] * cov.values[std::size_t(i)]));
  Paint p;
  p.mode = base.blendMode == BlendMode::PassThrough ? BlendMode::Normal : base.blendMode;
  p.alpha = base.opacity;
  paint(group, surface, p);
}

void drawStack(const std::vector<LayerNode>& layers, Raster& surface) {
  // Bottom to top; a layer that is not clipped is the base of the clipped layers right above it.
  std::size_t i = layers.size();
  std::vector<const LayerNode*> clipped;
  while (i > 0) {
    --i;
    const LayerNode& base = layers[i];
    std::size_t top = i;
    while (top > 0 && layers[top - 1].clipping) --top;
    if (!base.visible) {
      i = top;
      continue;
    }
    if (top == i) {
      drawNode(base, surface, nullptr);
      continue;
    }
    clipped.clear();
    for (std::size_t k = i; k > top; --k)
      if (layers[k - 1].visible) clipped.push_back(&layers[k - 1]);
    drawClippingGroup(base, clipped, surface);
    i = top;
  }
}

}  // namespace

void paintPixel(BlendMode mode, std::uint8_t* rgba, Rgb color, float alpha, bool preserveTransparency, int x, int y) {
  if (alpha <= 0.0f) return;
  if (preserveTransparency && rgba[3] == 0) return;
  const int a = int(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f));
  if (!a) return;
  const std::uint8_t source[4] = {color.r, color.g, color.b, 255};
  const std::uint8_t keep = rgba[3];
  if (preserveTransparency) rgba[3] = 255;  // blend as if the pixel were opaque
  Paint p;
  p.mode = mode == BlendMode::PassThrough ? BlendMode::Normal : mode;
  p.alpha = a;
  paintSpan(p, rgba, source, nullptr, 1, x, y);
  if (preserveTransparency) rgba[3] = keep;
}

Raster compositeLayers(const std::vector<LayerNode>& layers, const Rect& area) {
  Raster out(area);
  if (!out.empty()) drawStack(layers, out);
  return out;
}

Raster compositeDocument(const DocumentContent& content) { return compositeLayers(content.layers, content.canvas()); }

Raster mergeSetPixels(const LayerNode& set) {
  Raster out = compositeLayers(set.children, visibleBounds(set.children));
  out.trim();
  return out;
}

}  // namespace engine
