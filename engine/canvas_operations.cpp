// Operations on the canvas and on what a layer is made of: crop, image size, rasterising and
// the layer style switch.

#include <algorithm>

#include "engine/errors.h"
#include "engine/layer_effects.h"
#include "engine/operations.h"
#include "engine/resample.h"
#include "engine/vector_mask.h"

namespace engine {

namespace {

// The background layer stays opaque and canvas-sized; uncovered area shows white.
void refillBackground(LayerNode& n, const Rect& canvas) {
  n.pixels.clip(canvas);
  if (n.pixels.bounds() == canvas) return;
  Raster filled = Raster::filled(canvas, Rgb{255, 255, 255});
  for (int y = n.pixels.bounds().top; y < n.pixels.bounds().bottom; ++y)
    std::copy_n(n.pixels.pixel(n.pixels.bounds().left, y), n.pixels.stride(), filled.mutablePixel(n.pixels.bounds().left, y));
  n.pixels = std::move(filled);
}

// The vector mask drawn into the layer mask (combined with a mask there is), then dropped.
void vectorMaskIntoLayerMask(LayerNode& node, const Rect& canvas) {
  const bool own = !node.mask.disabled && !node.mask.empty();
  const Rect area = own ? node.mask.pixels.bounds().united(canvas) : canvas;
  std::optional<Mask> shape = renderVectorMask(node, canvas, area);
  if (!shape) return;
  for (int y = area.top; y < area.bottom; ++y) {
    std::uint8_t* row = shape->mutableRow(y);
    for (int x = area.left; x < area.right; ++x) {
      const int v = 255 - node.vectorMaskDensity * (255 - row[x - area.left]) / 255;
      row[x - area.left] = std::uint8_t(v * (own ? node.mask.pixels.at(x, y) : 255) / 255);
    }
  }
  node.mask.pixels = std::move(*shape);
  node.mask.disabled = false;
  node.mask.density = 255;
  removeVectorMask(node);
}

// The vector mask drawn into the pixels' own coverage, then dropped.
void vectorMaskIntoPixels(LayerNode& node, const Rect& canvas) {
  const Rect area = node.pixels.bounds();
  if (const std::optional<Mask> shape = area.empty() ? std::nullopt : renderVectorMask(node, canvas, area)) {
    for (int y = area.top; y < area.bottom; ++y) {
      std::uint8_t* p = node.pixels.mutablePixel(area.left, y);
      const std::uint8_t* m = shape->row(y);
      for (int x = 0; x < area.width(); ++x, p += 4) {
        const int v = 255 - node.vectorMaskDensity * (255 - m[x]) / 255;
        p[3] = std::uint8_t(p[3] * v / 255);
      }
    }
    node.pixels.trim();
  }
  removeVectorMask(node);
}

}  // namespace

void cropDocument(DocumentContent& doc, const Rect& bounds) {
  if (bounds.empty()) fail(ErrorCode::InvalidArgument, "the crop bounds hold no pixels");
  checkPixelArea(bounds.width(), bounds.height());
  const Rect canvas = Rect::fromSize(bounds.width(), bounds.height());
  const Rect before = doc.canvas();
  forEachLayer(doc.layers, [&](LayerNode& n) {
    moveVectorMask(n, before, canvas, -bounds.left, -bounds.top);
    n.pixels.translate(-bounds.left, -bounds.top);
    n.pixels.clip(canvas);
    n.mask.pixels.translate(-bounds.left, -bounds.top);
    if (n.isBackground) refillBackground(n, canvas);
  });
  doc.width = bounds.width();
  doc.height = bounds.height();
  doc.selection = Mask();
}

void resizeImage(DocumentContent& doc, int width, int height, ResampleMethod method) {
  checkPixelArea(width, height);
  if (width < 1 || height < 1) fail(ErrorCode::InvalidArgument, "an image needs at least one pixel each way");
  const double sx = double(width) / doc.width, sy = double(height) / doc.height;
  const Rect canvas = doc.canvas();
  forEachLayer(doc.layers, [&](LayerNode& n) {
    if (!n.pixels.empty()) n.pixels = resampleRaster(n.pixels, sx, sy, method, canvas);
    if (n.isBackground) refillBackground(n, Rect::fromSize(width, height));
    if (!n.mask.pixels.bounds().empty()) n.mask.pixels = resampleMask(n.mask.pixels, sx, sy);
  });
  doc.width = width;
  doc.height = height;
  doc.selection = Mask();
}

void rasterizeLayer(DocumentContent& doc, LayerId id, RasterizeTarget target) {
  LayerNode& node = doc.layer(id);
  if (node.isSet) {
    for (LayerNode& c : node.children) rasterizeLayer(doc, c.id, target);
    return;
  }
  if (target == RasterizeTarget::LayerClippingPath) {
    if (hasVectorMask(node)) vectorMaskIntoLayerMask(node, doc.canvas());
    return;
  }
  if (target == RasterizeTarget::TextContents && node.kind != LayerKind::Text) return;
  // A fill layer without stored pixels shows its colour over the whole canvas, cut by its
  // vector mask.
  const bool shapedAlready = pixelsShowVectorMask(node);
  if (node.kind == LayerKind::SolidFill && node.pixels.empty()) node.pixels = Raster::filled(doc.canvas(), node.fillColor);
  if ((target == RasterizeTarget::Shape || target == RasterizeTarget::EntireLayer) && hasVectorMask(node)) {
    if (shapedAlready) removeVectorMask(node);
    else vectorMaskIntoPixels(node, doc.canvas());
  }
  if (node.kind == LayerKind::Normal) return;
  node.kind = LayerKind::Normal;
  node.text.clear();
  node.adjustment.reset();
  // Blocks that described the old kind (type, fill, smart object) no longer apply.
  std::erase_if(node.extraBlocks, [](const TaggedBlock& b) { return b.tie == BlockTie::Kind; });
}

void setLayerStyleEnabled(DocumentContent& doc, LayerId id, bool enabled) {
  LayerNode& node = doc.layer(id);
  if (!node.hasStyle) fail(ErrorCode::NotAvailable, "the layer \"" + node.name + "\" has no layer style");
  node.styleEnabled = enabled;
}

}  // namespace engine
