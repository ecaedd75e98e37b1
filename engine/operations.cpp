#include "engine/operations.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "engine/composite.h"
#include "engine/errors.h"
#include "engine/filters.h"
#include "engine/vector_mask.h"

namespace engine {

namespace {

void requireArtLayer(const LayerNode& node, const char* what) {
  if (node.isSet) fail(ErrorCode::NotAvailable, std::string(what) + " is not available for a layer set");
}

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

// The background layer stays opaque and canvas-sized; uncovered area shows white.
void refillBackground(LayerNode& n, const Rect& canvas) {
  n.pixels.clip(canvas);
  if (n.pixels.bounds() == canvas) return;
  Raster filled = Raster::filled(canvas, Rgb{255, 255, 255});
  for (int y = n.pixels.bounds().top; y < n.pixels.bounds().bottom; ++y)
    std::copy_n(n.pixels.pixel(n.pixels.bounds().left, y), n.pixels.stride(), filled.mutablePixel(n.pixels.bounds().left, y));
  n.pixels = std::move(filled);
}

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
  Raster result = compositeLayers(pair, path.node().contentBounds().united(below.pixels.bounds()), doc.canvas());
  result.trim();
  below.pixels = std::move(result);
  below.kind = LayerKind::Normal;
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
    background.pixels = compositeLayers(stack, doc.canvas());
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

namespace {

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
  // Blocks that described the old kind (type, fill, vector origination) no longer apply.
  std::erase_if(node.extraBlocks, [](const TaggedBlock& b) {
    const std::string key(b.key.begin(), b.key.end());
    return key == "TySh" || key == "SoCo" || key == "GdFl" || key == "PtFl" || key == "SoLd" || key == "PlLd" ||
           key == "tySh";
  });
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

void setLayerStyleEnabled(DocumentContent& doc, LayerId id, bool enabled) {
  LayerNode& node = doc.layer(id);
  if (!node.hasStyle) fail(ErrorCode::NotAvailable, "the layer \"" + node.name + "\" has no layer style");
  node.styleEnabled = enabled;
}

}  // namespace engine
