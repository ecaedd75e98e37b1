#include "workspace/canvas_view.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "workspace/composite_cache.h"

namespace workspace {

namespace {

constexpr double kMinZoom = 1.0 / 32;
constexpr double kMaxZoom = 32.0;
constexpr int kCheckerSize = 8;

// Runs of selected pixels, rows with equal runs merged into one rectangle, so that a rectangle
// selection is one rectangle and an ellipse a few hundred.
QRegion selectionRegion(const engine::Mask& mask) {
  const engine::Rect b = mask.bounds().empty() ? engine::Rect{} : mask.bounds();
  QRegion region;
  std::vector<QRect> open;  // runs of the previous row, growing downwards
  auto runsOf = [&](int y) {
    std::vector<QRect> runs;
    const std::uint8_t* row = mask.row(y);
    for (int x = 0; x < b.width();) {
      if (row[x] < 128) { ++x; continue; }
      int end = x;
      while (end < b.width() && row[end] >= 128) ++end;
      runs.emplace_back(b.left + x, y, end - x, 1);
      x = end;
    }
    return runs;
  };
  for (int y = b.top; y < b.bottom; ++y) {
    std::vector<QRect> runs = runsOf(y);
    const bool same = runs.size() == open.size() &&
                      std::equal(runs.begin(), runs.end(), open.begin(), [](const QRect& a, const QRect& o) {
                        return a.left() == o.left() && a.right() == o.right();
                      });
    if (same) {
      for (QRect& r : open) r.setBottom(y);
      continue;
    }
    for (const QRect& r : open) region += r;
    open = std::move(runs);
  }
  for (const QRect& r : open) region += r;
  return region;
}

}  // namespace

CanvasView::CanvasView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("WorkspaceCanvas"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setMinimumSize(200, 150);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

CanvasView::~CanvasView() = default;

void CanvasView::setDocument(std::shared_ptr<engine::Document> doc) {
  if (doc == doc_) return refresh();
  if (transforming_) cancelTransform();
  doc_ = std::move(doc);
  shown_.reset();
  fitted_ = true;
  refresh();
}

void CanvasView::refresh() {
  if (!doc_) {
    shown_.reset();
    composite_ = QImage();
    selectionOutline_ = QPainterPath();
    stale_ = false;
    update();
    return;
  }
  if (shown_ == doc_->contentPtr()) return;
  shown_ = doc_->contentPtr();
  // Composited when painted: a hidden canvas, or one shown several times between two paints
  // while a workflow runs, composites nothing in vain.
  stale_ = true;
  const engine::LayerNode* active = shown_->find(shown_->activeLayer);
  const engine::Rect b = active ? active->contentBounds() : engine::Rect{};
  activeBounds_ = QRect(b.left, b.top, b.width(), b.height());
  if (fitted_) fitToWindow();
  update();
}

void CanvasView::makeComposite() {
  if (!stale_ || !shown_) return;
  stale_ = false;
  composite_ = compositeImage(*shown_);
  QPainterPath outline;
  if (shown_->hasSelection()) outline.addRegion(selectionRegion(shown_->selection));
  selectionOutline_ = outline.simplified();
}

const QImage& CanvasView::compositeShown() {
  makeComposite();
  return composite_;
}

qint64 CanvasView::takePaintCost() {
  return std::exchange(paintCost_, 0);
}

void CanvasView::fitToWindow() {
  fitted_ = true;
  if (!shown_ || shown_->width <= 0 || shown_->height <= 0) return;
  const double margin = 16;
  const double fit = std::min((width() - margin) / shown_->width, (height() - margin) / shown_->height);
  zoom_ = std::clamp(fit, kMinZoom, kMaxZoom);
  origin_ = QPointF((width() - shown_->width * zoom_) / 2, (height() - shown_->height * zoom_) / 2);
  update();
}

void CanvasView::actualPixels() {
  zoomBy(1.0 / zoom_);
}

void CanvasView::zoomBy(double factor, QPointF anchor) {
  const double next = std::clamp(zoom_ * factor, kMinZoom, kMaxZoom);
  const QPointF fixed = toDocument(anchor);
  zoom_ = next;
  origin_ = anchor - fixed * zoom_;
  fitted_ = false;
  update();
}

QPointF CanvasView::toDocument(QPointF widgetPoint) const {
  return (widgetPoint - origin_) / zoom_;
}

QPointF CanvasView::toWidget(QPointF documentPoint) const {
  return documentPoint * zoom_ + origin_;
}

void CanvasView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (fitted_) fitToWindow();
}

void CanvasView::paintCheckerboard(QPainter& painter, const QRectF& area) const {
  static const QPixmap tile = [] {
    QPixmap pm(2 * kCheckerSize, 2 * kCheckerSize);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.fillRect(0, 0, kCheckerSize, kCheckerSize, QColor(204, 204, 204));
    p.fillRect(kCheckerSize, kCheckerSize, kCheckerSize, kCheckerSize, QColor(204, 204, 204));
    return pm;
  }();
  // The squares keep their screen size whatever the zoom, as in every image editor.
  painter.save();
  painter.setBrushOrigin(area.topLeft());
  painter.fillRect(area, QBrush(tile));
  painter.restore();
}

void CanvasView::paintEvent(QPaintEvent*) {
  QElapsedTimer cost;
  cost.start();
  paintPage();
  paintCost_ += cost.nsecsElapsed();
}

void CanvasView::paintPage() {
  makeComposite();
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Dark));
  if (!shown_) return;
  const QRectF page(origin_, QSizeF(shown_->width * zoom_, shown_->height * zoom_));
  paintCheckerboard(painter, page);
  painter.save();
  painter.translate(origin_);
  painter.scale(zoom_, zoom_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1.0);
  painter.setClipRect(QRect(0, 0, shown_->width, shown_->height));
  if (drag_ == Drag::Move && dragComposite_) {
    dragComposite_->paint(painter, dragDocument_ - pressDocument_);
  } else {
    painter.drawImage(0, 0, composite_);
  }
  painter.restore();
  paintOutlines(painter);
  if (transforming_) paintHandles(painter);
}

void CanvasView::paintOutlines(QPainter& painter) const {
  painter.save();
  painter.translate(origin_);
  painter.scale(zoom_, zoom_);
  QPen bounds(QColor(0, 120, 215));
  bounds.setCosmetic(true);
  bounds.setStyle(Qt::DashLine);
  painter.setPen(bounds);
  painter.setBrush(Qt::NoBrush);
  QRect active = activeBounds_;
  if (drag_ == Drag::Move) active.translate(dragDocument_ - pressDocument_);
  if (!active.isEmpty() && !transforming_) painter.drawRect(QRectF(active));
  // The selection edge in black and white dashes shows on any colour.
  QPen white(Qt::white);
  white.setCosmetic(true);
  painter.setPen(white);
  painter.drawPath(selectionOutline_);
  QPen black(Qt::black);
  black.setCosmetic(true);
  black.setStyle(Qt::DashLine);
  painter.setPen(black);
  painter.drawPath(selectionOutline_);
  if (drag_ == Drag::Select) {
    const QRect r = selectionDragRect();
    tool_ == Tool::EllipseSelect ? painter.drawEllipse(QRectF(r)) : painter.drawRect(QRectF(r));
  }
  painter.restore();
}

}  // namespace workspace
