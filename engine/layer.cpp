#include "engine/layer.h"

#include <atomic>
#include <cmath>

#include "engine/errors.h"

namespace engine {

LayerId newLayerId() {
  static std::atomic<LayerId> next{1};
  return next++;
}

bool isValidBlendMode(int v) { return (v >= 1 && v <= 23) || (v >= 26 && v <= 30); }

std::uint8_t opacityFromPercent(double percent) {
  if (!std::isfinite(percent) || percent < 0.0 || percent > 100.0) fail(ErrorCode::InvalidArgument, "opacity must be 0 to 100");
  return std::uint8_t(std::lround(percent * 255.0 / 100.0));
}

double opacityToPercent(std::uint8_t value) { return value * 100.0 / 255.0; }

LayerNode LayerNode::artLayer(std::string name) {
  LayerNode n;
  n.id = newLayerId();
  n.name = std::move(name);
  return n;
}

LayerNode LayerNode::layerSet(std::string name) {
  LayerNode n = artLayer(std::move(name));
  n.isSet = true;
  n.blendMode = BlendMode::PassThrough;
  n.expanded = true;
  return n;
}

Rect LayerNode::contentBounds() const {
  if (!isSet) return pixels.bounds();
  Rect r;
  for (const LayerNode& c : children) r = r.united(c.contentBounds());
  return r;
}

bool locateLayer(std::vector<LayerNode>& layers, LayerId id, LayerPath& out) {
  for (std::size_t i = 0; i < layers.size(); ++i) {
    if (layers[i].id == id) {
      out.siblings = &layers;
      out.index = i;
      return true;
    }
    if (layers[i].isSet && locateLayer(layers[i].children, id, out)) {
      if (!out.parent) out.parent = &layers[i];
      return true;
    }
  }
  return false;
}

LayerNode* findLayer(std::vector<LayerNode>& layers, LayerId id) {
  for (LayerNode& n : layers) {
    if (n.id == id) return &n;
    if (LayerNode* found = n.isSet ? findLayer(n.children, id) : nullptr) return found;
  }
  return nullptr;
}

const LayerNode* findLayer(const std::vector<LayerNode>& layers, LayerId id) {
  return findLayer(const_cast<std::vector<LayerNode>&>(layers), id);
}

}  // namespace engine
