#include "workspace/composite_cache.h"

#include <QPainter>

#include "engine/composite.h"
#include "engine/operations.h"

namespace workspace {

QImage toImage(const engine::Raster& raster) {
  if (raster.empty()) return {};
  const engine::Rect& b = raster.bounds();
  // The wrapped buffer lives only for this call; the conversion makes the copy that is kept.
  const QImage straight(raster.data(), b.width(), b.height(), raster.stride(), QImage::Format_RGBA8888);
  return straight.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage compositeImage(const engine::DocumentContent& content) {
  engine::Raster composite = engine::compositeDocument(content);
  if (composite.empty()) return {};
  // Wrapped, not converted: the painter converts only what it draws, a quarter of the pixels at
  // the zoom that fits a Full HD document, and a new document shows without a second copy.
  const engine::Rect b = composite.bounds();
  auto* kept = new engine::Raster(std::move(composite));
  return QImage(kept->data(), b.width(), b.height(), kept->stride(), QImage::Format_RGBA8888,
                [](void* raster) { delete static_cast<engine::Raster*>(raster); }, kept);
}

namespace {

// Top-level indexes whose subtree changes when `layer` is moved: every one of them holds a
// layer that moves with it.
std::vector<std::size_t> movingTopLevel(const engine::DocumentContent& content, engine::LayerId layer) {
  engine::DocumentContent probe = content;
  engine::translateLayer(probe, layer, 1, 0);
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < content.layers.size(); ++i) {
    bool moved = false;
    const engine::LayerNode& before = content.layers[i];
    const engine::LayerNode& after = probe.layers[i];
    std::vector<const engine::LayerNode*> a{&before}, b{&after};
    for (std::size_t k = 0; k < a.size() && !moved; ++k) {
      moved = a[k]->pixels.bounds() != b[k]->pixels.bounds() || a[k]->mask.pixels.bounds() != b[k]->mask.pixels.bounds();
      for (std::size_t c = 0; c < a[k]->children.size(); ++c) {
        a.push_back(&a[k]->children[c]);
        b.push_back(&b[k]->children[c]);
      }
    }
    if (moved) out.push_back(i);
  }
  return out;
}

QImage compositeRun(const engine::DocumentContent& content, std::size_t first, std::size_t last) {
  if (first >= last) return {};
  const std::vector<engine::LayerNode> run(content.layers.begin() + long(first), content.layers.begin() + long(last));
  return toImage(engine::compositeLayers(run, content.canvas(), content.canvas(), content.mixing));
}

}  // namespace

DragComposite::DragComposite(const engine::DocumentContent& content, engine::LayerId layer) : layer_(layer) {
  std::vector<std::size_t> moving;
  try {
    moving = movingTopLevel(content, layer);
  } catch (const std::exception&) {
    return;  // the background layer and missing layers do not move
  }
  if (moving.empty()) return;
  const std::size_t first = moving.front(), last = moving.back() + 1;
  moving_.width = content.width;
  moving_.height = content.height;
  moving_.mixing = content.mixing;
  moving_.layers.assign(content.layers.begin() + long(first), content.layers.begin() + long(last));
  above_ = compositeRun(content, 0, first);
  below_ = compositeRun(content, last, content.layers.size());
  movable_ = true;
}

void DragComposite::paint(QPainter& painter, QPoint offset) const {
  if (!below_.isNull()) painter.drawImage(0, 0, below_);
  if (movable_) {
    engine::DocumentContent shifted = moving_;  // shares the pixels; only bounds move
    engine::translateLayer(shifted, layer_, offset.x(), offset.y());
    engine::Rect area;
    for (const engine::LayerNode& n : shifted.layers) area = area.united(n.contentBounds());
    area = area.intersected(shifted.canvas());
    if (!area.empty()) {
      const QImage middle = toImage(engine::compositeLayers(shifted.layers, area, shifted.canvas(), shifted.mixing));
      painter.drawImage(area.left, area.top, middle);
    }
  }
  if (!above_.isNull()) painter.drawImage(0, 0, above_);
}

}  // namespace workspace
