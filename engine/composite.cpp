#include "engine/composite.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace engine {

namespace {

// Straight (not premultiplied) RGBA floats over one rectangle of the document.
struct Canvas {
  Rect area;
  std::vector<float> px;

  explicit Canvas(const Rect& a) : area(a), px(std::size_t(a.area()) * 4, 0.0f) {}
  float* at(int x, int y) { return px.data() + (std::size_t(y - area.top) * area.width() + (x - area.left)) * 4; }
};

float lum(const float c[3]) { return 0.3f * c[0] + 0.59f * c[1] + 0.11f * c[2]; }

void clipColor(float c[3]) {
  const float l = lum(c);
  const float n = std::min({c[0], c[1], c[2]});
  const float x = std::max({c[0], c[1], c[2]});
  for (int i = 0; i < 3; ++i) {
    if (n < 0.0f && l - n > 1e-6f) c[i] = l + (c[i] - l) * l / (l - n);
    if (x > 1.0f && x - l > 1e-6f) c[i] = l + (c[i] - l) * (1.0f - l) / (x - l);
  }
}

void setLum(const float c[3], float l, float out[3]) {
  const float d = l - lum(c);
  for (int i = 0; i < 3; ++i) out[i] = c[i] + d;
  clipColor(out);
}

float sat(const float c[3]) { return std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}); }

void setSat(const float c[3], float s, float out[3]) {
  int maxI = 0, minI = 0;
  for (int i = 1; i < 3; ++i) {
    if (c[i] > c[maxI]) maxI = i;
    if (c[i] < c[minI]) minI = i;
  }
  if (maxI == minI) {
    out[0] = out[1] = out[2] = 0.0f;
    return;
  }
  const int midI = 3 - maxI - minI;
  const float range = c[maxI] - c[minI];
  out[midI] = (c[midI] - c[minI]) * s / range;
  out[maxI] = s;
  out[minI] = 0.0f;
}

float colorDodge(float b, float s) {
  if (b <= 0.0f) return 0.0f;
  if (s >= 1.0f) return 1.0f;
  return std::min(1.0f, b / (1.0f - s));
}

float colorBurn(float b, float s) {
  if (b >= 1.0f) return 1.0f;
  if (s <= 0.0f) return 0.0f;
  return 1.0f - std::min(1.0f, (1.0f - b) / s);
}

float separable(BlendMode mode, float b, float s) {
  switch (mode) {
    case BlendMode::Multiply: return b * s;
    case BlendMode::Screen: return b + s - b * s;
    case BlendMode::Overlay: return b <= 0.5f ? 2.0f * b * s : 1.0f - 2.0f * (1.0f - b) * (1.0f - s);
    case BlendMode::Darken: return std::min(b, s);
    case BlendMode::Lighten: return std::max(b, s);
    case BlendMode::ColorDodge: return colorDodge(b, s);
    case BlendMode::ColorBurn: return colorBurn(b, s);
    case BlendMode::HardLight: return s <= 0.5f ? 2.0f * b * s : 1.0f - 2.0f * (1.0f - b) * (1.0f - s);
    case BlendMode::SoftLight: {
      if (s <= 0.5f) return b - (1.0f - 2.0f * s) * b * (1.0f - b);
      const float d = b <= 0.25f ? ((16.0f * b - 12.0f) * b + 4.0f) * b : std::sqrt(b);
      return b + (2.0f * s - 1.0f) * (d - b);
    }
    case BlendMode::Difference: return std::fabs(b - s);
    case BlendMode::Exclusion: return b + s - 2.0f * b * s;
    case BlendMode::LinearBurn: return std::max(0.0f, b + s - 1.0f);
    case BlendMode::LinearDodge: return std::min(1.0f, b + s);
    case BlendMode::VividLight: return s <= 0.5f ? colorBurn(b, 2.0f * s) : colorDodge(b, 2.0f * s - 1.0f);
    case BlendMode::LinearLight: return std::clamp(b + 2.0f * s - 1.0f, 0.0f, 1.0f);
    case BlendMode::PinLight: return s <= 0.5f ? std::min(b, 2.0f * s) : std::max(b, 2.0f * s - 1.0f);
    case BlendMode::HardMix: return b + s >= 1.0f ? 1.0f : 0.0f;
    case BlendMode::Subtract: return std::max(0.0f, b - s);
    case BlendMode::Divide: return s <= 0.0f ? (b <= 0.0f ? 0.0f : 1.0f) : std::min(1.0f, b / s);
    default: return s;
  }
}

// A cheap, stable per-pixel threshold for Dissolve.
float dissolveNoise(int x, int y) {
  std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return float((h ^ (h >> 16)) & 0xFFFF) / 65536.0f;
}

void blendPixel(BlendMode mode, float* dst, const float src[3], float alpha, int x, int y) {
  if (alpha <= 0.0f) return;
  if (mode == BlendMode::Dissolve) {
    if (dissolveNoise(x, y) >= alpha) return;
    alpha = 1.0f;
    mode = BlendMode::Normal;
  }
  const float ab = dst[3];
  float mixed[3];
  if (ab <= 0.0f || mode == BlendMode::Normal || mode == BlendMode::PassThrough) {
    mixed[0] = src[0];
    mixed[1] = src[1];
    mixed[2] = src[2];
  } else {
    float blended[3];
    blendColor(mode, dst, src, blended);
    for (int i = 0; i < 3; ++i) mixed[i] = (1.0f - ab) * src[i] + ab * blended[i];
  }
  const float ao = alpha + ab * (1.0f - alpha);
  for (int i = 0; i < 3; ++i) dst[i] = (alpha * mixed[i] + (1.0f - alpha) * ab * dst[i]) / ao;
  dst[3] = ao;
}

float maskAt(const LayerNode& node, int x, int y) {
  if (node.mask.disabled || node.mask.empty()) return 1.0f;
  return node.mask.pixels.at(x, y) / 255.0f;
}

bool hasMask(const LayerNode& node) { return !node.mask.disabled && !node.mask.empty(); }

// Alpha of the base of a clipping group at each position, for the layers clipped to it.
using ClipPlane = std::vector<float>;

void drawNodes(const std::vector<LayerNode>& layers, Canvas& canvas);

void drawPixels(const LayerNode& node, Canvas& canvas, const ClipPlane* clip, ClipPlane* coverage) {
  const Raster& r = node.pixels;
  const float layerAlpha = (node.opacity / 255.0f) * (node.fillOpacity / 255.0f);
  Rect region = r.bounds().intersected(canvas.area);
  if (hasMask(node) && node.mask.pixels.outside() == 0) region = region.intersected(node.mask.pixels.bounds());
  if (region.empty() || layerAlpha <= 0.0f) return;
  const bool masked = hasMask(node);
  for (int y = region.top; y < region.bottom; ++y) {
    const std::uint8_t* p = r.pixel(region.left, y);
    float* d = canvas.at(region.left, y);
    for (int x = region.left; x < region.right; ++x, p += 4, d += 4) {
      float a = p[3] / 255.0f;
      if (masked) a *= maskAt(node, x, y);
      if (coverage) (*coverage)[std::size_t(y - canvas.area.top) * canvas.area.width() + (x - canvas.area.left)] = a;
      a *= layerAlpha;
      if (clip) a *= (*clip)[std::size_t(y - canvas.area.top) * canvas.area.width() + (x - canvas.area.left)];
      if (a <= 0.0f) continue;
      const float s[3] = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
      blendPixel(node.blendMode, d, s, a, x, y);
    }
  }
}

void drawCanvas(const Canvas& src, BlendMode mode, float opacity, const LayerNode& maskOwner, Canvas& dst,
                const ClipPlane* clip, ClipPlane* coverage) {
  for (int y = dst.area.top; y < dst.area.bottom; ++y) {
    for (int x = dst.area.left; x < dst.area.right; ++x) {
      const std::size_t i = std::size_t(y - dst.area.top) * dst.area.width() + (x - dst.area.left);
      const float* s = src.px.data() + i * 4;
      float a = s[3] * maskAt(maskOwner, x, y);
      if (coverage) (*coverage)[i] = a;
      a *= opacity;
      if (clip) a *= (*clip)[i];
      blendPixel(mode, dst.px.data() + i * 4, s, a, x, y);
    }
  }
}

void drawNode(const LayerNode& node, Canvas& canvas, const ClipPlane* clip, ClipPlane* coverage) {
  if (!node.isSet) {
    drawPixels(node, canvas, clip, coverage);
    return;
  }
  if (node.blendMode == BlendMode::PassThrough && !clip && !coverage) {
    // Members blend straight into what lies below; the set's opacity and mask fade the result.
    const float opacity = node.opacity / 255.0f;
    if (opacity >= 1.0f && !hasMask(node)) {
      drawNodes(node.children, canvas);
      return;
    }
    const std::vector<float> before = canvas.px;
    drawNodes(node.children, canvas);
    for (int y = canvas.area.top; y < canvas.area.bottom; ++y) {
      for (int x = canvas.area.left; x < canvas.area.right; ++x) {
        const std::size_t i = (std::size_t(y - canvas.area.top) * canvas.area.width() + (x - canvas.area.left)) * 4;
        const float t = opacity * maskAt(node, x, y);
        for (int c = 0; c < 4; ++c) canvas.px[i + c] = before[i + c] + (canvas.px[i + c] - before[i + c]) * t;
      }
    }
    return;
  }
  Canvas isolated(canvas.area);
  drawNodes(node.children, isolated);
  const BlendMode mode = node.blendMode == BlendMode::PassThrough ? BlendMode::Normal : node.blendMode;
  drawCanvas(isolated, mode, node.opacity / 255.0f, node, canvas, clip, coverage);
}

void drawNodes(const std::vector<LayerNode>& layers, Canvas& canvas) {
  // Bottom to top; a layer that is not clipped is the base of the clipped layers right above it.
  std::size_t i = layers.size();
  while (i > 0) {
    --i;
    const LayerNode& base = layers[i];
    std::size_t top = i;  // the clipped layers are layers[top .. i-1]
    while (top > 0 && layers[top - 1].clipping && !layers[top - 1].isSet) --top;
    if (!base.visible) {
      i = top;
      continue;
    }
    if (top == i) {
      drawNode(base, canvas, nullptr, nullptr);
      continue;
    }
    ClipPlane coverage(std::size_t(canvas.area.area()), 0.0f);
    drawNode(base, canvas, nullptr, &coverage);
    for (std::size_t k = i; k > top; --k) {
      const LayerNode& clipped = layers[k - 1];
      if (clipped.visible) drawNode(clipped, canvas, &coverage, nullptr);
    }
    i = top;
  }
}

Raster toRaster(const Canvas& canvas) {
  Raster out(canvas.area);
  if (out.empty()) return out;
  std::uint8_t* d = out.mutableData();
  for (std::size_t i = 0, n = std::size_t(canvas.area.area()) * 4; i < n; i += 4) {
    const float a = canvas.px[i + 3];
    if (a <= 0.0f) {
      d[i] = d[i + 1] = d[i + 2] = d[i + 3] = 0;
      continue;
    }
    for (int c = 0; c < 3; ++c) d[i + c] = std::uint8_t(std::lround(std::clamp(canvas.px[i + c], 0.0f, 1.0f) * 255.0f));
    d[i + 3] = std::uint8_t(std::lround(std::clamp(a, 0.0f, 1.0f) * 255.0f));
  }
  return out;
}

Rect visibleBounds(const std::vector<LayerNode>& layers) {
  Rect r;
  for (const LayerNode& n : layers) {
    if (!n.visible) continue;
    r = r.united(n.isSet ? visibleBounds(n.children) : n.pixels.bounds());
  }
  return r;
}

}  // namespace

void blendColor(BlendMode mode, const float b[3], const float s[3], float out[3]) {
  float tmp[3];
  switch (mode) {
    case BlendMode::Hue:
      setSat(s, sat(b), tmp);
      setLum(tmp, lum(b), out);
      return;
    case BlendMode::Saturation:
      setSat(b, sat(s), tmp);
      setLum(tmp, lum(b), out);
      return;
    case BlendMode::Color: setLum(s, lum(b), out); return;
    case BlendMode::Luminosity: setLum(b, lum(s), out); return;
    case BlendMode::LighterColor: {
      const float* pick = (s[0] + s[1] + s[2]) > (b[0] + b[1] + b[2]) ? s : b;
      std::copy(pick, pick + 3, out);
      return;
    }
    case BlendMode::DarkerColor: {
      const float* pick = (s[0] + s[1] + s[2]) < (b[0] + b[1] + b[2]) ? s : b;
      std::copy(pick, pick + 3, out);
      return;
    }
    default:
      for (int i = 0; i < 3; ++i) out[i] = separable(mode, b[i], s[i]);
  }
}

void paintPixel(BlendMode mode, std::uint8_t* rgba, Rgb color, float alpha, bool preserveTransparency, int x, int y) {
  if (alpha <= 0.0f) return;
  const float src[3] = {color.r / 255.0f, color.g / 255.0f, color.b / 255.0f};
  float dst[4] = {rgba[0] / 255.0f, rgba[1] / 255.0f, rgba[2] / 255.0f, rgba[3] / 255.0f};
  if (preserveTransparency) {
    if (rgba[3] == 0) return;
    const float keep = dst[3];
    dst[3] = 1.0f;
    blendPixel(mode, dst, src, alpha, x, y);
    dst[3] = keep;
  } else {
    blendPixel(mode, dst, src, alpha, x, y);
  }
  for (int c = 0; c < 4; ++c) rgba[c] = std::uint8_t(std::lround(std::clamp(dst[c], 0.0f, 1.0f) * 255.0f));
}

Raster compositeLayers(const std::vector<LayerNode>& layers, const Rect& area) {
  if (area.empty()) return Raster();
  Canvas canvas(area);
  drawNodes(layers, canvas);
  return toRaster(canvas);
}

Raster compositeDocument(const DocumentContent& content) { return compositeLayers(content.layers, content.canvas()); }

Raster mergeSetPixels(const LayerNode& set) {
  const Rect area = visibleBounds(set.children);
  Raster out = compositeLayers(set.children, area);
  out.trim();
  return out;
}

}  // namespace engine
