#pragma once
// Small builders for engine documents used across the engine tests.

#include "engine/composite.h"
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

// One opaque pixel `above` blended onto one opaque pixel `below`.
inline engine::Rgb blendOne(engine::BlendMode mode, engine::Rgb below, engine::Rgb above, std::uint8_t opacity = 255,
                            std::uint8_t fill = 255) {
  std::vector<engine::LayerNode> stack{solidLayer("above", {0, 0, 1, 1}, above), solidLayer("below", {0, 0, 1, 1}, below)};
  stack[0].blendMode = mode;
  stack[0].opacity = opacity;
  stack[0].fillOpacity = fill;
  return rgbAt(engine::compositeLayers(stack, {0, 0, 1, 1}), 0, 0);
}

}  // namespace fixtures
