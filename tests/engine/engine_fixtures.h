#pragma once
// Small builders for engine documents used across the engine tests.

#include "engine/document.h"
#include "engine/operations.h"

namespace fixtures {

inline engine::DocumentContent blankDocument(int w = 64, int h = 48) {
  engine::DocumentContent c;
  c.width = w;
  c.height = h;
  engine::LayerNode first = engine::LayerNode::artLayer("Layer 1");
  c.activeLayer = first.id;
  c.layers.push_back(std::move(first));
  return c;
}

inline engine::LayerNode solidLayer(const std::string& name, engine::Rect r, engine::Rgb color, std::uint8_t alpha = 255) {
  engine::LayerNode n = engine::LayerNode::artLayer(name);
  n.pixels = engine::Raster::filled(r, color, alpha);
  return n;
}

inline engine::Rgb rgbAt(const engine::Raster& r, int x, int y) {
  const std::uint8_t* p = r.pixel(x, y);
  return {p[0], p[1], p[2]};
}

inline int alphaAt(const engine::Raster& r, int x, int y) { return r.alphaAt(x, y); }

}  // namespace fixtures
