// Operations on the layer tree: new, removed, renamed, copied and moved layers and sets, links,
// merges, labels and fill colours.

#include "engine/operations.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "engine/composite.h"
#include "engine/errors.h"
#include "engine/filters.h"
#include "engine/layer_effects.h"
#include "engine/vector_mask.h"

namespace engine {

namespace {

bool isDefaultName(const std::string& name, const std::string& prefix, int& number) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  number = 0;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || number > 100000) return false;
    number = number * 10 + (name[i] - '0');
  }
  return name[prefix.size()] != '0';
}

std::uint32_t newLinkGroup(const DocumentContent& doc) {
  std::uint32_t top = 0;
  forEachLayer(doc.layers, [&](const LayerNode& n) { top = std::max(top, n.linkGroup); });
  return top + 1;
}

// Fresh ids for a copied subtree; link groups inside it are kept among the copies only.
void renumberCopy(LayerNode& node, std::map<std::uint32_t, std::uint32_t>& groups, std::uint32_t& nextGroup) {
  node.id = newLayerId();
  node.isBackground = false;
  if (node.linkGroup) {
    auto [it, inserted] = groups.try_emplace(node.linkGroup, 0);
    if (inserted) it->second = nextGroup++;
    node.linkGroup = it->second;
  }
  for (LayerNode& c : node.children) renumberCopy(c, groups, nextGroup);
}

// Link groups used by only one layer of a copy mean nothing; they are cleared.
void dropLonelyLinks(LayerNode& root) {
  std::map<std::uint32_t, int> uses;
  if (root.linkGroup) ++uses[root.linkGroup];
  forEachLayer(root.children, [&](const LayerNode& n) {
    if (n.linkGroup) ++uses[n.linkGroup];
  });
  if (root.linkGroup && uses[root.linkGroup] == 1) root.linkGroup = 0;
  forEachLayer(root.children, [&](LayerNode& n) {
    if (n.linkGroup && uses[n.linkGroup] == 1) n.linkGroup = 0;
  });
}

LayerNode copyOf(const LayerNode& source, const DocumentContent& dest) {
  LayerNode copy = source;
  std::map<std::uint32_t, std::uint32_t> groups;
  std::uint32_t next = newLinkGroup(dest);
  renumberCopy(copy, groups, next);
  dropLonelyLinks(copy);
  return copy;
}

// Index just above the background layer, the lowest place an ordinary layer may take.
std::size_t lowestIndex(const std::vector<LayerNode>& siblings) {
  if (!siblings.empty() && siblings.back().isBackground) return siblings.size() - 1;
  return siblings.size();
}

bool isInside(const LayerNode& ancestor, LayerId id) { return findLayer(ancestor.children, id) != nullptr; }

}  // namespace

std::string nextDefaultName(const DocumentContent& doc, bool forSet) {
  const std::string prefix = forSet ? "Set " : "Layer ";
  std::set<int> used;
  forEachLayer(doc.layers, [&](const LayerNode& n) {
    int number = 0;
    if (n.isSet == forSet && isDefaultName(n.name, prefix, number)) used.insert(number);
  });
  int n = 1;
  while (used.count(n)) ++n;
  return prefix + std::to_string(n);
}

LayerId insertAboveActive(DocumentContent& doc, LayerNode node) {
  const LayerId id = node.id;
  LayerPath path;
  if (doc.activeLayer && locateLayer(doc.layers, doc.activeLayer, path)) {
    path.siblings->insert(path.siblings->begin() + std::ptrdiff_t(path.index), std::move(node));
  } else {
    doc.layers.insert(doc.layers.begin(), std::move(node));
  }
  doc.activeLayer = id;
  return id;
}

namespace {
LayerId addNode(DocumentContent& doc, LayerNode node, LayerId intoSet) {
  std::vector<LayerNode>* list = &doc.layers;
  if (intoSet) {
    LayerNode& set = doc.layer(intoSet);
    if (!set.isSet) fail(ErrorCode::NotAvailable, "layers can only be added to a layer set");
    list = &set.children;
  }
  const LayerId id = node.id;
  list->insert(list->begin(), std::move(node));
  doc.activeLayer = id;
  return id;
}
}  // namespace

LayerId addArtLayer(DocumentContent& doc, LayerId intoSet) {
  return addNode(doc, LayerNode::artLayer(nextDefaultName(doc, false)), intoSet);
}

LayerId addLayerSet(DocumentContent& doc, LayerId intoSet) {
  return addNode(doc, LayerNode::layerSet(nextDefaultName(doc, true)), intoSet);
}

void removeLayer(DocumentContent& doc, LayerId id) {
  LayerPath path = doc.locate(id);
  if (!path.parent && doc.layers.size() == 1)
    fail(ErrorCode::NotAvailable, "the last layer of a document cannot be removed");
  const bool activeGone = doc.activeLayer == id || isInside(path.node(), doc.activeLayer);
  std::vector<LayerNode>& siblings = *path.siblings;
  siblings.erase(siblings.begin() + std::ptrdiff_t(path.index));
  if (!activeGone) return;
  // The layer below takes over, else the one above, else the containing set.
  if (path.index < siblings.size()) doc.activeLayer = siblings[path.index].id;
  else if (!siblings.empty()) doc.activeLayer = siblings.back().id;
  else if (path.parent) doc.activeLayer = path.parent->id;
  else doc.activeLayer = 0;
}

void renameLayer(DocumentContent& doc, LayerId id, const std::string& name) {
  if (name.empty()) fail(ErrorCode::InvalidArgument, "a layer name cannot be empty");
  if (name.size() > 255) fail(ErrorCode::InvalidArgument, "a layer name is limited to 255 characters");
  LayerNode& node = doc.layer(id);
  node.isBackground = false;  // a named background layer is an ordinary layer
  node.name = name;
}

LayerId duplicateLayer(DocumentContent& doc, LayerId id) {
  LayerPath path = doc.locate(id);
  LayerNode copy = copyOf(path.node(), doc);
  copy.name += " copy";
  const LayerId newId = copy.id;
  path.siblings->insert(path.siblings->begin() + std::ptrdiff_t(path.index), std::move(copy));
  doc.activeLayer = newId;
  return newId;
}

LayerId copyLayerInto(const LayerNode& source, const Rect& sourceCanvas, DocumentContent& dest, bool sameDocument) {
  LayerNode copy = copyOf(source, dest);
  if (sameDocument) {
    copy.name += " Copy";
    return insertAboveActive(dest, std::move(copy));
  }
  const Rect canvas = dest.canvas();
  moveVectorMask(copy, sourceCanvas, canvas, 0, 0);
  forEachLayer(copy.children, [&](LayerNode& n) { moveVectorMask(n, sourceCanvas, canvas, 0, 0); });
  // Above the top-level ancestor of the active layer: a copy never lands inside a set.
  std::size_t index = 0;
  for (std::size_t i = 0; i < dest.layers.size(); ++i) {
    const LayerNode& top = dest.layers[i];
    if (top.id == dest.activeLayer || isInside(top, dest.activeLayer)) index = i;
  }
  const LayerId id = copy.id;
  dest.layers.insert(dest.layers.begin() + std::ptrdiff_t(index), std::move(copy));
  dest.activeLayer = id;
  return id;
}

void moveLayer(DocumentContent& doc, LayerId id, LayerId relativeTo, ElementPlacement where) {
  if (id == relativeTo) fail(ErrorCode::InvalidArgument, "a layer cannot be moved relative to itself");
  const LayerNode& moving = doc.layer(id);
  if (moving.isBackground) fail(ErrorCode::NotAvailable, "the background layer cannot be moved");
  if (relativeTo && isInside(moving, relativeTo))
    fail(ErrorCode::InvalidArgument, "a layer set cannot be moved into itself");
  if (relativeTo) doc.layer(relativeTo);  // must exist before anything changes

  LayerPath from = doc.locate(id);
  LayerNode node = std::move(from.node());
  from.siblings->erase(from.siblings->begin() + std::ptrdiff_t(from.index));

  std::vector<LayerNode>* target = &doc.layers;
  std::size_t index = 0;
  const bool container = where == ElementPlacement::AtBeginning || where == ElementPlacement::AtEnd ||
                         where == ElementPlacement::Inside;
  if (container) {
    if (relativeTo) {
      LayerNode& set = doc.layer(relativeTo);
      if (!set.isSet) fail(ErrorCode::InvalidArgument, "layers can only be moved into a layer set");
      target = &set.children;
    }
    index = where == ElementPlacement::AtEnd ? lowestIndex(*target) : 0;
  } else {
    if (!relativeTo) fail(ErrorCode::InvalidArgument, "a placement before or after needs a layer");
    LayerPath at = doc.locate(relativeTo);
    target = at.siblings;
    index = where == ElementPlacement::Before ? at.index : std::min(at.index + 1, lowestIndex(*target));
  }
  target->insert(target->begin() + std::ptrdiff_t(index), std::move(node));
}

void translateLayer(DocumentContent& doc, LayerId id, int dx, int dy) {
  if (doc.layer(id).isBackground) fail(ErrorCode::NotAvailable, "the background layer cannot be moved");
  // Grow the set of moved layers until it holds every member and every linked layer.
  std::set<LayerId> moved{id};
  std::set<std::uint32_t> groups;
  bool grew = true;
  while (grew) {
    grew = false;
    forEachLayer(doc.layers, [&](LayerNode& n) {
      if (moved.count(n.id)) {
        if (n.linkGroup) grew |= groups.insert(n.linkGroup).second;
        for (const LayerNode& c : n.children) grew |= moved.insert(c.id).second;
      } else if (n.linkGroup && groups.count(n.linkGroup)) {
        grew |= moved.insert(n.id).second;
      }
    });
  }
  forEachLayer(doc.layers, [&](LayerNode& n) {
    if (!moved.count(n.id) || n.isBackground) return;
    n.pixels.translate(dx, dy);
    n.mask.pixels.translate(dx, dy);
    moveVectorMask(n, doc.canvas(), doc.canvas(), dx, dy);
  });
}

void linkLayers(DocumentContent& doc, LayerId a, LayerId b) {
  LayerNode& first = doc.layer(a);
  LayerNode& second = doc.layer(b);
  if (a == b) return;
  if (!first.linkGroup && !second.linkGroup) {
    first.linkGroup = second.linkGroup = newLinkGroup(doc);
  } else if (!first.linkGroup) {
    first.linkGroup = second.linkGroup;
  } else if (!second.linkGroup) {
    second.linkGroup = first.linkGroup;
  } else if (first.linkGroup != second.linkGroup) {
    const std::uint32_t from = second.linkGroup, to = first.linkGroup;
    forEachLayer(doc.layers, [&](LayerNode& n) {
      if (n.linkGroup == from) n.linkGroup = to;
    });
  }
}

void unlinkLayer(DocumentContent& doc, LayerId id) { doc.layer(id).linkGroup = 0; }

LayerId mergeSet(DocumentContent& doc, LayerId setId) {
  LayerPath path = doc.locate(setId);
  LayerNode& set = path.node();
  if (!set.isSet) fail(ErrorCode::NotAvailable, "only a layer set can be merged this way");
  LayerNode merged = LayerNode::artLayer(set.name);
  merged.pixels = mergeSetPixels(set, doc.canvas());
  merged.visible = set.visible;
  merged.opacity = set.opacity;
  merged.blendMode = set.blendMode == BlendMode::PassThrough ? BlendMode::Normal : set.blendMode;
  merged.colorLabel = set.colorLabel;
  merged.linkGroup = set.linkGroup;
  merged.mask = set.mask;
  const LayerId id = merged.id;
  set = std::move(merged);
  doc.activeLayer = id;
  return id;
}

LayerId mergeDown(DocumentContent& doc, LayerId id) {
  LayerPath path = doc.locate(id);
  if (path.index + 1 >= path.siblings->size()) fail(ErrorCode::NotAvailable, "there is no layer below to merge into");
  LayerNode& below = (*path.siblings)[path.index + 1];
  if (below.isSet) fail(ErrorCode::NotAvailable, "a layer cannot be merged into a layer set");
  LayerNode lower = below;
  lower.opacity = 255;
  lower.fillOpacity = 255;
  lower.blendMode = BlendMode::Normal;
  lower.visible = true;
  std::vector<LayerNode> pair{path.node(), lower};
  const Rect area = drawnBounds(path.node(), path.node().contentBounds()).united(drawnBounds(below, below.pixels.bounds()));
  Raster result = compositeLayers(pair, area, doc.canvas(), doc.mixing);
  result.trim();
  below.pixels = std::move(result);
  below.kind = LayerKind::Normal;
  below.hasStyle = false;  // its effects are in the merged pixels now
  below.effects.reset();
  const LayerId belowId = below.id;
  path.siblings->erase(path.siblings->begin() + std::ptrdiff_t(path.index));
  doc.activeLayer = belowId;
  return belowId;
}

void flattenDocument(DocumentContent& doc) {
  LayerNode background = LayerNode::artLayer("Background");
  background.isBackground = true;
  background.pixels = Raster::filled(doc.canvas(), Rgb{255, 255, 255});
  const Raster merged = compositeDocument(doc);
  if (!merged.empty()) {
    std::vector<LayerNode> stack(1, LayerNode::artLayer("merged"));
    stack[0].pixels = merged;
    stack.push_back(background);
    background.pixels = compositeLayers(stack, doc.canvas(), {}, doc.mixing);
  }
  doc.layers.clear();
  doc.activeLayer = background.id;
  doc.layers.push_back(std::move(background));
}

void unlockBackground(LayerNode& node) {
  if (!node.isBackground) return;
  node.isBackground = false;
  node.name = "Layer 0";
}

void setColorLabel(DocumentContent& doc, LayerId id, ColorLabel label) {
  if (int(label) < 0 || int(label) > 7) fail(ErrorCode::InvalidArgument, "unknown colour label");
  LayerNode& node = doc.layer(id);
  unlockBackground(node);
  node.colorLabel = label;
}

void setSolidFillColor(DocumentContent& doc, LayerId id, Rgb color) {
  LayerNode& node = doc.layer(id);
  if (node.isSet || node.kind != LayerKind::SolidFill)
    fail(ErrorCode::NotAvailable, "the layer \"" + node.name + "\" is not a solid colour fill layer");
  node.fillColor = color;
  if (node.pixels.empty()) return;
  std::uint8_t* p = node.pixels.mutableData();
  for (std::int64_t i = 0, n = node.pixels.bounds().area(); i < n; ++i, p += 4) {
    p[0] = color.r;
    p[1] = color.g;
    p[2] = color.b;
  }
}

}  // namespace engine
