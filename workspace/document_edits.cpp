#include "workspace/document_edits.h"

#include <cmath>

#include "engine/errors.h"
#include "engine/operations.h"
#include "engine/resample.h"

namespace workspace::edits {

namespace {

template <class F>
void record(engine::Engine& eng, engine::Document& doc, const char* stateName, F&& change) {
  doc.edit(stateName, std::forward<F>(change));
  eng.noteChange();
}

template <class F>
void adjust(engine::Engine& eng, engine::Document& doc, F&& change) {
  doc.adjust(std::forward<F>(change));
  eng.noteChange();
}

// Resamples an art layer's pixels and mask so that `from` maps onto `to`.
void scaleNode(engine::LayerNode& node, const engine::Rect& from, const QRect& to) {
  const double sx = double(to.width()) / from.width();
  const double sy = double(to.height()) / from.height();
  // resampleRaster scales about the document origin; the shift puts `from`'s corner on `to`'s.
  const int dx = int(std::lround(to.left() - from.left * sx));
  const int dy = int(std::lround(to.top() - from.top * sy));
  if (!node.pixels.empty()) {
    node.pixels = engine::resampleRaster(node.pixels, sx, sy, engine::ResampleMethod::Bicubic);
    node.pixels.translate(dx, dy);
  }
  if (!node.mask.pixels.bounds().empty()) {
    node.mask.pixels = engine::resampleMask(node.mask.pixels, sx, sy);
    node.mask.pixels.translate(dx, dy);
  }
  for (engine::LayerNode& child : node.children) scaleNode(child, from, to);
}

}  // namespace

void moveActiveLayer(engine::Engine& eng, engine::Document& doc, int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  record(eng, doc, "Move", [&](engine::DocumentContent& c) { engine::translateLayer(c, c.activeLayer, dx, dy); });
}

void transformActiveLayer(engine::Engine& eng, engine::Document& doc, const QRect& target) {
  const engine::LayerNode& active = doc.content().layer(doc.content().activeLayer);
  const engine::Rect from = active.contentBounds();
  if (from.empty() || target.width() < 1 || target.height() < 1)
    engine::fail(engine::ErrorCode::NotAvailable, "the layer has no pixels to transform");
  if (QRect(from.left, from.top, from.width(), from.height()) == target) return;
  if (active.isBackground) engine::fail(engine::ErrorCode::NotAvailable, "the background layer cannot be transformed");
  record(eng, doc, "Free Transform", [&](engine::DocumentContent& c) { scaleNode(c.layer(c.activeLayer), from, target); });
}

void setVisible(engine::Engine& eng, engine::Document& doc, engine::LayerId id, bool visible) {
  adjust(eng, doc, [&](engine::DocumentContent& c) { c.layer(id).visible = visible; });
}

void setActiveLayer(engine::Engine& eng, engine::Document& doc, engine::LayerId id) {
  adjust(eng, doc, [&](engine::DocumentContent& c) {
    c.layer(id);  // fails for a layer that is gone
    c.activeLayer = id;
  });
}

void rename(engine::Engine& eng, engine::Document& doc, engine::LayerId id, const std::string& name) {
  record(eng, doc, "Rename Layer", [&](engine::DocumentContent& c) { engine::renameLayer(c, id, name); });
}

void setLabel(engine::Engine& eng, engine::Document& doc, engine::LayerId id, engine::ColorLabel label) {
  record(eng, doc, "Layer Properties", [&](engine::DocumentContent& c) { engine::setColorLabel(c, id, label); });
}

void linkWithActive(engine::Engine& eng, engine::Document& doc, engine::LayerId id) {
  record(eng, doc, "Link Layers", [&](engine::DocumentContent& c) { engine::linkLayers(c, c.activeLayer, id); });
}

void unlink(engine::Engine& eng, engine::Document& doc, engine::LayerId id) {
  record(eng, doc, "Unlink Layers", [&](engine::DocumentContent& c) { engine::unlinkLayer(c, id); });
}

void duplicate(engine::Engine& eng, engine::Document& doc, engine::LayerId id) {
  record(eng, doc, "Duplicate Layer", [&](engine::DocumentContent& c) { engine::duplicateLayer(c, id); });
}

void remove(engine::Engine& eng, engine::Document& doc, engine::LayerId id) {
  record(eng, doc, "Delete Layer", [&](engine::DocumentContent& c) { engine::removeLayer(c, id); });
}

void restack(engine::Engine& eng, engine::Document& doc, engine::LayerId id, bool up) {
  engine::DocumentContent probe = doc.content();
  const engine::LayerPath path = probe.locate(id);
  const std::size_t index = path.index;
  if (up ? index == 0 : index + 1 >= path.siblings->size()) return;
  const engine::LayerId neighbour = (*path.siblings)[up ? index - 1 : index + 1].id;
  const auto where = up ? engine::ElementPlacement::Before : engine::ElementPlacement::After;
  record(eng, doc, "Layer Order", [&](engine::DocumentContent& c) { engine::moveLayer(c, id, neighbour, where); });
}

void rewind(engine::Engine& eng, engine::Document& doc, std::uint64_t state) {
  doc.rewindTo(state);
  eng.noteChange();
}

bool stepHistory(engine::Engine& eng, engine::Document& doc, int direction) {
  const auto& states = doc.history().states();
  for (std::size_t i = 0; i < states.size(); ++i) {
    if (states[i].serial != doc.currentState()) continue;
    const long next = long(i) + direction;
    if (next < 0 || next >= long(states.size())) return false;
    rewind(eng, doc, states[std::size_t(next)].serial);
    return true;
  }
  return false;
}

}  // namespace workspace::edits
