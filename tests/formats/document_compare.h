#pragma once
// Compares two engine documents field by field and says where they first differ, so that a
// failing round trip names the layer and the field instead of just "not equal".

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/document.h"

namespace compare {

inline bool sameBytes(const std::shared_ptr<const std::vector<std::uint8_t>>& a,
                      const std::shared_ptr<const std::vector<std::uint8_t>>& b) {
  const std::vector<std::uint8_t> none;
  return (a ? *a : none) == (b ? *b : none);
}

inline bool sameBlocks(const std::vector<engine::TaggedBlock>& a, const std::vector<engine::TaggedBlock>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const auto& x, const auto& y) { return x.key == y.key && sameBytes(x.data, y.data); });
}

inline std::string maskDiffers(const engine::LayerMask& a, const engine::LayerMask& b) {
  if (a.empty() && b.empty()) return "";
  if (a.disabled != b.disabled) return "mask enabled state";
  if (a.density != b.density || a.feather != b.feather) return "mask density or feather";
  if (a.pixels.bounds() != b.pixels.bounds() || a.pixels.outside() != b.pixels.outside()) return "mask bounds or colour";
  const std::size_t n = std::size_t(a.pixels.bounds().width()) * std::size_t(a.pixels.bounds().height());
  if (n && std::memcmp(a.pixels.data(), b.pixels.data(), n) != 0) return "mask pixels";
  return "";
}

inline std::string layersDiffer(const std::vector<engine::LayerNode>& a, const std::vector<engine::LayerNode>& b,
                                const std::string& where);

inline std::string nodeDiffers(const engine::LayerNode& a, const engine::LayerNode& b) {
  if (a.isSet != b.isSet) return "set or layer";
  if (a.name != b.name) return "name \"" + a.name + "\" vs \"" + b.name + "\"";
  if (a.visible != b.visible) return "visibility";
  if (a.keptRecordFlags != b.keptRecordFlags) return "kept layer record flags";
  if (a.opacity != b.opacity || a.blendMode != b.blendMode) return "opacity or blend mode";
  if (a.colorLabel != b.colorLabel || a.linkGroup != b.linkGroup) return "colour label or link group";
  if (auto m = maskDiffers(a.mask, b.mask); !m.empty()) return m;
  if (a.vectorMaskDensity != b.vectorMaskDensity || a.vectorMaskFeather != b.vectorMaskFeather)
    return "vector mask density or feather";
  const auto same = [](const auto& x, const auto& y) { return x == y || (x && y && *x == *y); };
  if (!same(a.vectorMask, b.vectorMask)) return "vector mask";
  if (!same(a.adjustment, b.adjustment)) return "adjustment settings";
  if (a.knockout != b.knockout || a.vectorContent != b.vectorContent) return "knockout or vector content";
  if (a.layerMaskHidesEffects != b.layerMaskHidesEffects || a.vectorMaskHidesEffects != b.vectorMaskHidesEffects ||
      a.blendInteriorEffectsAsGroup != b.blendInteriorEffectsAsGroup)
    return "advanced blending of the effects";
  if (!sameBlocks(a.extraBlocks, b.extraBlocks)) return "kept blocks";
  if (a.isSet) {
    if (a.expanded != b.expanded) return "expanded";
    return layersDiffer(a.children, b.children, a.name + "/");
  }
  if (a.kind != b.kind || a.isBackground != b.isBackground) return "kind or background";
  if (a.pixels.bounds() != b.pixels.bounds()) return "pixel bounds";
  if (!a.pixels.empty() && std::memcmp(a.pixels.data(), b.pixels.data(), a.pixels.byteSize()) != 0) return "pixels";
  if (a.kind == engine::LayerKind::SolidFill && !(a.fillColor == b.fillColor)) return "fill colour";
  if (a.fillOpacity != b.fillOpacity || a.clipping != b.clipping) return "fill opacity or clipping";
  if (a.hasStyle != b.hasStyle || a.styleEnabled != b.styleEnabled) return "layer style";
  if (a.text != b.text) return "text";
  return "";
}

inline std::string layersDiffer(const std::vector<engine::LayerNode>& a, const std::vector<engine::LayerNode>& b,
                                const std::string& where) {
  if (a.size() != b.size())
    return where + ": " + std::to_string(a.size()) + " vs " + std::to_string(b.size()) + " layers";
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::string d = nodeDiffers(a[i], b[i]);
    if (!d.empty()) return where + a[i].name + ": " + d;
  }
  return "";
}

// The position of a layer as indices from the top, so documents with different ids compare.
inline std::vector<std::size_t> pathTo(const std::vector<engine::LayerNode>& layers, engine::LayerId id) {
  for (std::size_t i = 0; i < layers.size(); ++i) {
    if (layers[i].id == id) return {i};
    auto inner = pathTo(layers[i].children, id);
    if (!inner.empty()) {
      inner.insert(inner.begin(), i);
      return inner;
    }
  }
  return {};
}

// Empty when `a` and `b` hold the same document.
inline std::string documentsDiffer(const engine::DocumentContent& a, const engine::DocumentContent& b) {
  if (a.width != b.width || a.height != b.height) return "size";
  if (std::abs(a.resolution - b.resolution) > 1e-4) return "resolution";
  if (a.keywords != b.keywords) return "keywords";
  if (a.resources.size() != b.resources.size()) return "number of resources";
  for (std::size_t i = 0; i < a.resources.size(); ++i)
    if (a.resources[i].id != b.resources[i].id || a.resources[i].name != b.resources[i].name ||
        !sameBytes(a.resources[i].data, b.resources[i].data))
      return "resource " + std::to_string(a.resources[i].id);
  if (!sameBlocks(a.extraBlocks, b.extraBlocks)) return "document blocks";
  if (pathTo(a.layers, a.activeLayer) != pathTo(b.layers, b.activeLayer)) return "active layer";
  return layersDiffer(a.layers, b.layers, "");
}

}  // namespace compare
