// Selections and painting: selecting, filling, stroking, copying and pasting pixels, inverting
// and drawing clouds, each through the selection or over the whole canvas.

#include <algorithm>
#include <cmath>
#include <set>

#include "engine/composite.h"
#include "engine/errors.h"
#include "engine/filters.h"
#include "engine/operations.h"

namespace engine {

namespace {

void requireArtLayer(const LayerNode& node, const char* what) {
  if (node.isSet) fail(ErrorCode::NotAvailable, std::string(what) + " is not available for a layer set");
}

// The region a painting operation covers: the selection, or the whole canvas.
Mask fullMask(const Rect& canvas);
Mask paintRegion(const DocumentContent& doc) { return doc.hasSelection() ? doc.selection : fullMask(doc.canvas()); }

// Paints `color` through a coverage mask onto a layer.
void paintThrough(LayerNode& layer, const Mask& coverage, Rgb color, BlendMode mode, double opacity,
                  bool preserveTransparency) {
  const float strength = opacityFromPercent(opacity) / 255.0f;
  Rect area = coverage.coveredBounds();
  if (preserveTransparency) area = area.intersected(layer.pixels.bounds());
  if (area.empty()) return;
  layer.pixels.cover(area);
  const bool keepAlpha = preserveTransparency || layer.isBackground;
  const int weight = opacityFromPercent(opacity);
  for (int y = area.top; y < area.bottom; ++y) {
    const std::uint8_t* m = coverage.row(y) + (area.left - coverage.bounds().left);
    std::uint8_t* p = layer.pixels.mutablePixel(area.left, y);
    for (int x = area.left; x < area.right; ++x, ++m, p += 4) {
      if (!*m) continue;
      if (mode != BlendMode::Normal) {
        paintPixel(mode, p, color, strength * (*m / 255.0f), keepAlpha, x, y);
        continue;
      }
      // Normal painting in integers: by far the most common case (fills of whole areas).
      const int a = (*m * weight + 127) / 255;
      if (keepAlpha) {
        if (!p[3]) continue;
        p[0] = std::uint8_t(p[0] + ((color.r - p[0]) * a + (color.r > p[0] ? 127 : -127)) / 255);
        p[1] = std::uint8_t(p[1] + ((color.g - p[1]) * a + (color.g > p[1] ? 127 : -127)) / 255);
        p[2] = std::uint8_t(p[2] + ((color.b - p[2]) * a + (color.b > p[2] ? 127 : -127)) / 255);
      } else if (a == 255) {
        p[0] = color.r;
        p[1] = color.g;
        p[2] = color.b;
        p[3] = 255;
      } else {
        const int below = p[3] * (255 - a);  // backdrop weight, scaled by 255
        const int total = a * 255 + below;   // result alpha, scaled by 255
        if (!total) continue;
        p[0] = std::uint8_t((color.r * a * 255 + p[0] * below + total / 2) / total);
        p[1] = std::uint8_t((color.g * a * 255 + p[1] * below + total / 2) / total);
        p[2] = std::uint8_t((color.b * a * 255 + p[2] * below + total / 2) / total);
        p[3] = std::uint8_t((total + 127) / 255);
      }
    }
  }
}

// Pixels of `area` within `radius` (square distance) of a pixel that is covered (or, with
// `covered` false, uncovered) in `mask`. Callers pass an area grown by more than the radius, so
// nothing beyond it can matter.
std::vector<std::uint8_t> dilate(const Mask& mask, bool covered, const Rect& area, int radius) {
  const int w = area.width(), h = area.height();
  constexpr int kFar = 1 << 29;
  std::vector<std::uint8_t> hits(std::size_t(w) * h), rows(std::size_t(w) * h), out(std::size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) hits[std::size_t(y) * w + x] = (mask.at(area.left + x, area.top + y) >= 128) == covered;
  const auto pass = [&](const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>& result, int lines, int length,
                        auto index) {
    std::vector<int> before(static_cast<std::size_t>(length));
    for (int l = 0; l < lines; ++l) {
      int last = -kFar;
      for (int i = 0; i < length; ++i) {
        if (in[index(l, i)]) last = i;
        before[std::size_t(i)] = i - last;
      }
      last = kFar;
      for (int i = length - 1; i >= 0; --i) {
        if (in[index(l, i)]) last = i;
        result[index(l, i)] = std::min(before[std::size_t(i)], last - i) <= radius;
      }
    }
  };
  pass(hits, rows, h, w, [w](int line, int i) { return std::size_t(line) * w + i; });
  pass(rows, out, w, h, [w](int line, int i) { return std::size_t(i) * w + line; });
  return out;
}

Mask fullMask(const Rect& canvas) {
  Mask all(canvas);
  if (all.data()) std::fill(all.mutableData(), all.mutableData() + all.bounds().area(), std::uint8_t(255));
  return all;
}

}  // namespace

void selectRegion(DocumentContent& doc, const std::vector<Point>& region, SelectionType type, double feather) {
  if (!std::isfinite(feather) || feather < 0.0 || feather > 250.0)
    fail(ErrorCode::InvalidArgument, "feather must be 0 to 250 pixels");
  Mask shape = rasterizePolygon(region, doc.canvas());
  if (feather > 0.0) shape = featheredMask(shape, feather, doc.canvas());
  doc.selection = combineSelection(doc.selection, shape, type, doc.canvas());
}

void selectAll(DocumentContent& doc) { doc.selection = fullMask(doc.canvas()); }

void deselect(DocumentContent& doc) { doc.selection = Mask(); }

void invertSelection(DocumentContent& doc) {
  Mask inverted = doc.selection;
  inverted.cover(doc.canvas());
  inverted.invert();
  inverted.setOutside(0);
  inverted.clip(doc.canvas());
  doc.selection = std::move(inverted);
}

void selectSimilar(DocumentContent& doc, int tolerance) {
  if (tolerance < 0 || tolerance > 255) fail(ErrorCode::InvalidArgument, "tolerance must be 0 to 255");
  if (!doc.hasSelection()) fail(ErrorCode::NothingSelected, "Similar needs a selection to start from");
  const LayerNode& layer = doc.layer(doc.activeLayer);
  requireArtLayer(layer, "Similar");
  const Raster& px = layer.pixels;
  std::set<std::uint32_t> colors;
  const Rect seed = doc.selection.coveredBounds().intersected(px.bounds());
  for (int y = seed.top; y < seed.bottom; ++y)
    for (int x = seed.left; x < seed.right; ++x)
      if (doc.selection.at(x, y) >= 128) {
        const std::uint8_t* p = px.pixel(x, y);
        colors.insert(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16);
      }
  Mask out(doc.canvas());
  const Rect area = px.bounds().intersected(doc.canvas());
  for (int y = area.top; y < area.bottom; ++y) {
    std::uint8_t* row = out.mutableRow(y);
    for (int x = area.left; x < area.right; ++x) {
      const std::uint8_t* p = px.pixel(x, y);
      for (std::uint32_t c : colors) {
        if (std::abs(int(c & 0xFF) - p[0]) <= tolerance && std::abs(int(c >> 8 & 0xFF) - p[1]) <= tolerance &&
            std::abs(int(c >> 16 & 0xFF) - p[2]) <= tolerance) {
          row[x] = 255;
          break;
        }
      }
    }
  }
  doc.selection = combineSelection(doc.selection, out, SelectionType::Extend, doc.canvas());
}

LayerNode& paintableLayer(DocumentContent& doc, LayerId id) {
  LayerNode& node = doc.layer(id);
  if (node.isSet) fail(ErrorCode::NotAvailable, "the layer set \"" + node.name + "\" has no pixels to paint on");
  if (node.kind != LayerKind::Normal)
    fail(ErrorCode::NotAvailable, "the layer \"" + node.name + "\" must be rasterized before its pixels can be changed");
  return node;
}

void fillSelection(DocumentContent& doc, LayerId id, Rgb color, BlendMode mode, double opacity,
                   bool preserveTransparency) {
  LayerNode& layer = paintableLayer(doc, id);
  paintThrough(layer, paintRegion(doc), color, mode, opacity, preserveTransparency);
}

void strokeSelection(DocumentContent& doc, LayerId id, Rgb color, int width, StrokeLocation location,
                     BlendMode mode, double opacity, bool preserveTransparency) {
  if (width < 1 || width > 250) fail(ErrorCode::InvalidArgument, "stroke width must be 1 to 250 pixels");
  if (location != StrokeLocation::Inside && location != StrokeLocation::Center && location != StrokeLocation::Outside)
    fail(ErrorCode::InvalidArgument, "unknown stroke location");
  if (!doc.hasSelection()) fail(ErrorCode::NothingSelected, "Stroke needs a selection");
  LayerNode& layer = paintableLayer(doc, id);
  const int inner = location == StrokeLocation::Inside ? width : location == StrokeLocation::Center ? (width + 1) / 2 : 0;
  const int outer = location == StrokeLocation::Outside ? width : location == StrokeLocation::Center ? width / 2 : 0;
  const Rect area = doc.selection.coveredBounds();
  const Rect grown{area.left - width - 1, area.top - width - 1, area.right + width + 1, area.bottom + width + 1};
  // A pixel is on the inner edge when an unselected pixel lies within `inner` of it, on the
  // outer edge when a selected one lies within `outer`.
  const auto nearOutside = inner ? dilate(doc.selection, false, grown, inner) : std::vector<std::uint8_t>();
  const auto nearInside = outer ? dilate(doc.selection, true, grown, outer) : std::vector<std::uint8_t>();
  Mask ring(grown.intersected(doc.canvas()));
  for (int y = ring.bounds().top; y < ring.bounds().bottom; ++y) {
    std::uint8_t* row = ring.mutableRow(y);
    for (int x = ring.bounds().left; x < ring.bounds().right; ++x) {
      const std::size_t i = std::size_t(y - grown.top) * grown.width() + (x - grown.left);
      const bool selected = doc.selection.at(x, y) >= 128;
      if ((selected && inner && nearOutside[i]) || (!selected && outer && nearInside[i])) row[x - ring.bounds().left] = 255;
    }
  }
  paintThrough(layer, ring, color, mode, opacity, preserveTransparency);
}

Raster copyPixels(const DocumentContent& doc, LayerId id) {
  const LayerNode& layer = doc.layer(id);
  requireArtLayer(layer, "Copy");
  Rect area = layer.pixels.bounds().intersected(doc.canvas());
  if (doc.hasSelection()) area = area.intersected(doc.selection.coveredBounds());
  if (area.empty()) fail(ErrorCode::NothingSelected, "Could not copy: the selected area is empty");
  Raster out(area);
  for (int y = area.top; y < area.bottom; ++y) {
    const std::uint8_t* s = layer.pixels.pixel(area.left, y);
    std::uint8_t* d = out.mutablePixel(area.left, y);
    for (int x = area.left; x < area.right; ++x, s += 4, d += 4) {
      const int m = doc.hasSelection() ? doc.selection.at(x, y) : 255;
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      d[3] = std::uint8_t(s[3] * m / 255);
    }
  }
  out.trim();
  if (out.empty()) fail(ErrorCode::NothingSelected, "Could not copy: the selected area is empty");
  return out;
}

LayerId pastePixels(DocumentContent& doc, const Raster& pixels) {
  if (pixels.empty()) fail(ErrorCode::NothingSelected, "the clipboard holds no pixels");
  LayerNode node = LayerNode::artLayer(nextDefaultName(doc, false));
  node.pixels = pixels;
  return insertAboveActive(doc, std::move(node));
}

void invertLayer(DocumentContent& doc, LayerId id) {
  LayerNode& layer = paintableLayer(doc, id);
  if (layer.pixels.empty()) return;
  const Rect area = layer.pixels.bounds();
  const bool selective = doc.hasSelection();
  for (int y = area.top; y < area.bottom; ++y) {
    std::uint8_t* p = layer.pixels.mutablePixel(area.left, y);
    for (int x = area.left; x < area.right; ++x, p += 4) {
      const int m = selective ? doc.selection.at(x, y) : 255;
      if (!m) continue;
      for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(p[c] + ((255 - 2 * p[c]) * m) / 255);
    }
  }
}

void applyClouds(DocumentContent& doc, LayerId id, Rgb foreground, Rgb background, std::uint32_t seed,
                 bool difference) {
  LayerNode& layer = paintableLayer(doc, id);
  const Mask region = paintRegion(doc);
  const Rect area = region.coveredBounds();
  if (area.empty()) return;
  const Raster clouds = renderClouds(area, foreground, background, seed);
  layer.pixels.cover(area);
  for (int y = area.top; y < area.bottom; ++y) {
    std::uint8_t* p = layer.pixels.mutablePixel(area.left, y);
    const std::uint8_t* c = clouds.pixel(area.left, y);
    for (int x = area.left; x < area.right; ++x, p += 4, c += 4) {
      const int m = region.at(x, y);
      if (!m) continue;
      if (m == 255 && !difference) {  // the clouds are opaque: fully selected pixels take them as they are
        std::copy_n(c, 4, p);
        continue;
      }
      if (m == 255 && p[3] == 255) {
        for (int k = 0; k < 3; ++k) p[k] = std::uint8_t(std::abs(p[k] - c[k]));
        continue;
      }
      const Rgb color{c[0], c[1], c[2]};
      paintPixel(difference ? BlendMode::Difference : BlendMode::Normal, p, color, m / 255.0f, layer.isBackground, x, y);
    }
  }
}

}  // namespace engine
