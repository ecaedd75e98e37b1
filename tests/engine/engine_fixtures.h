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

// The names of `layers`, in order.
inline std::vector<std::string> layerNames(const std::vector<engine::LayerNode>& layers) {
  std::vector<std::string> names;
  for (const engine::LayerNode& n : layers) names.push_back(n.name);
  return names;
}

inline engine::Rgb rgbAt(const engine::Raster& r, int x, int y) {
  const std::uint8_t* p = r.pixel(x, y);
  return {p[0], p[1], p[2]};
}

// `n` blended with `mode` at `opacity`.
inline engine::LayerNode blended(engine::LayerNode n, engine::BlendMode mode, std::uint8_t opacity = 255) {
  n.blendMode = mode;
  n.opacity = opacity;
  return n;
}

// A set of `members` (topmost first) blended with `mode` at `opacity`.
inline engine::LayerNode layerSet(engine::BlendMode mode, std::vector<engine::LayerNode> members,
                                  std::uint8_t opacity = 255) {
  engine::LayerNode n = engine::LayerNode::layerSet("set");
  n.children = std::move(members);
  return blended(std::move(n), mode, opacity);
}

// A layer of `width` x 1 pixels of `color` at the origin.
inline engine::LayerNode strip(engine::Rgb color, int width = 1, std::uint8_t alpha = 255) {
  return solidLayer("strip", {0, 0, width, 1}, color, alpha);
}

// The colour of pixel (x, 0) of `stack` (topmost first) merged.
inline engine::Rgb mergedAt(const std::vector<engine::LayerNode>& stack, int x = 0) {
  return rgbAt(engine::compositeLayers(stack, {0, 0, x + 1, 1}), x, 0);
}

// One opaque pixel `above` blended onto one opaque pixel `below`.
inline engine::Rgb blendOne(engine::BlendMode mode, engine::Rgb below, engine::Rgb above, std::uint8_t opacity = 255,
                            std::uint8_t fill = 255) {
  engine::LayerNode top = blended(strip(above), mode, opacity);
  top.fillOpacity = fill;
  return mergedAt({top, strip(below)});
}

}  // namespace fixtures
