// The canvas's mouse and keys: pan, zoom, move by drag, selections and the transform handles.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>
#include <numbers>

#include "engine/errors.h"
#include "engine/operations.h"
#include "workspace/canvas_view.h"
#include "workspace/composite_cache.h"
#include "workspace/document_edits.h"

namespace workspace {

namespace {

constexpr double kHandleSize = 8;
constexpr int kMoveHandle = 8;
constexpr int kEllipseCorners = 72;

std::vector<engine::Point> ellipsePolygon(const QRect& r) {
  std::vector<engine::Point> points;
  const double cx = r.left() + r.width() / 2.0, cy = r.top() + r.height() / 2.0;
  for (int i = 0; i < kEllipseCorners; ++i) {
    const double a = 2 * std::numbers::pi * i / kEllipseCorners;
    points.push_back({cx + r.width() / 2.0 * std::cos(a), cy + r.height() / 2.0 * std::sin(a)});
  }
  return points;
}

std::vector<engine::Point> rectanglePolygon(const QRect& r) {
  const double l = r.left(), t = r.top(), right = l + r.width(), b = t + r.height();
  return {{l, t}, {right, t}, {right, b}, {l, b}};
}

}  // namespace

bool CanvasView::apply(const std::function<void()>& change) {
  try {
    change();
  } catch (const std::exception& e) {
    if (failed_) failed_(QString::fromStdString(e.what()));
    refresh();
    return false;
  }
  refresh();
  if (changed_) changed_();
  return true;
}

void CanvasView::nudge(int dx, int dy) {
  if (!doc_ || !engine_ || transforming_) return;
  apply([&] { edits::moveActiveLayer(*engine_, *doc_, dx, dy); });
}

void CanvasView::setPendingEdit(bool pending) {
  if (!engine_) return;
  engine_->pendingEdit = pending;
  engine_->noteChange();
}

bool CanvasView::beginTransform() {
  if (!doc_ || !engine_ || transforming_ || drag_ != Drag::None) return false;
  refresh();
  const engine::LayerNode* active = shown_ ? shown_->find(shown_->activeLayer) : nullptr;
  if (!active || active->isBackground || activeBounds_.isEmpty()) {
    if (failed_) failed_(QStringLiteral("The active layer has no pixels to transform."));
    return false;
  }
  transforming_ = true;
  transformStart_ = transformRect_ = activeBounds_;
  setPendingEdit(true);
  update();
  if (changed_) changed_();
  return true;
}

void CanvasView::commitTransform() {
  if (!transforming_) return;
  transforming_ = false;
  setPendingEdit(false);
  const QRect target = transformRect_;
  apply([&] { edits::transformActiveLayer(*engine_, *doc_, target); });
  update();
}

void CanvasView::cancelTransform() {
  if (!transforming_) return;
  transforming_ = false;
  drag_ = Drag::None;
  setPendingEdit(false);
  update();
  if (changed_) changed_();
}

QRectF CanvasView::handleRect(int handle) const {
  const QRectF r(toWidget(transformRect_.topLeft()), toWidget(transformRect_.topLeft() + QPoint(transformRect_.width(), transformRect_.height())));
  const QPointF points[8] = {r.topLeft(),     QPointF(r.center().x(), r.top()),    r.topRight(),
                             QPointF(r.right(), r.center().y()), r.bottomRight(), QPointF(r.center().x(), r.bottom()),
                             r.bottomLeft(),  QPointF(r.left(), r.center().y())};
  return {points[handle] - QPointF(kHandleSize / 2, kHandleSize / 2), QSizeF(kHandleSize, kHandleSize)};
}

int CanvasView::handleAt(QPointF widgetPoint) const {
  for (int h = 0; h < 8; ++h)
    if (handleRect(h).adjusted(-2, -2, 2, 2).contains(widgetPoint)) return h;
  const QPointF doc = toDocument(widgetPoint);
  return QRectF(transformRect_).contains(doc) ? kMoveHandle : -1;
}

QRect CanvasView::draggedHandleRect(QPoint documentPoint) const {
  const QPoint d = documentPoint - pressDocument_;
  int l = transformStart_.left(), t = transformStart_.top();
  int r = l + transformStart_.width(), b = t + transformStart_.height();
  if (handle_ == kMoveHandle) return transformStart_.translated(d);
  if (handle_ == 0 || handle_ == 6 || handle_ == 7) l += d.x();
  if (handle_ == 2 || handle_ == 3 || handle_ == 4) r += d.x();
  if (handle_ == 0 || handle_ == 1 || handle_ == 2) t += d.y();
  if (handle_ == 4 || handle_ == 5 || handle_ == 6) b += d.y();
  // A handle dragged past the opposite side stops one pixel short of it.
  if (r - l < 1) (handle_ == 0 || handle_ == 6 || handle_ == 7) ? l = r - 1 : r = l + 1;
  if (b - t < 1) (handle_ == 0 || handle_ == 1 || handle_ == 2) ? t = b - 1 : b = t + 1;
  return {l, t, r - l, b - t};
}

void CanvasView::paintHandles(QPainter& painter) const {
  painter.save();
  QPen pen(Qt::black);
  pen.setCosmetic(true);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(toWidget(transformRect_.topLeft()),
                          QSizeF(transformRect_.width() * zoom_, transformRect_.height() * zoom_)));
  painter.setBrush(Qt::white);
  for (int h = 0; h < 8; ++h) painter.drawRect(handleRect(h));
  painter.restore();
}

QRect CanvasView::selectionDragRect() const {
  return QRect(pressDocument_, dragDocument_).normalized().adjusted(0, 0, -1, -1);
}

void CanvasView::beginDrag(QMouseEvent* event) {
  pressWidget_ = event->position();
  pressDocument_ = dragDocument_ = toDocument(event->position()).toPoint();
  if (event->button() == Qt::MiddleButton) {
    drag_ = Drag::Pan;
    panStart_ = origin_;
    return;
  }
  if (event->button() != Qt::LeftButton || !shown_) return;
  if (transforming_) {
    handle_ = handleAt(event->position());
    if (handle_ < 0) return;
    transformStart_ = transformRect_;
    drag_ = Drag::Handle;
    return;
  }
  if (tool_ != Tool::Move) {
    drag_ = Drag::Select;
    return;
  }
  dragComposite_ = std::make_unique<DragComposite>(*shown_, shown_->activeLayer);
  if (dragComposite_->movable()) {
    drag_ = Drag::Move;
  } else {
    dragComposite_.reset();
    if (failed_) failed_(QStringLiteral("The active layer cannot be moved."));
  }
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (drag_ == Drag::None) beginDrag(event);
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
  dragDocument_ = toDocument(event->position()).toPoint();
  switch (drag_) {
    case Drag::Pan:
      origin_ = panStart_ + (event->position() - pressWidget_);
      fitted_ = false;
      break;
    case Drag::Handle: transformRect_ = draggedHandleRect(dragDocument_); break;
    case Drag::None: return;
    default: break;
  }
  update();
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
  dragDocument_ = toDocument(event->position()).toPoint();
  const Drag finished = drag_;
  drag_ = Drag::None;
  if (finished == Drag::Move) finishMove();
  if (finished == Drag::Select) finishSelection();
  if (finished == Drag::Handle) transformRect_ = draggedHandleRect(dragDocument_);
  dragComposite_.reset();
  update();
}

void CanvasView::finishMove() {
  const QPoint d = dragDocument_ - pressDocument_;
  if (d.isNull()) return;
  apply([&] { edits::moveActiveLayer(*engine_, *doc_, d.x(), d.y()); });
}

void CanvasView::finishSelection() {
  if (!doc_ || !engine_) return;
  const QRect r = selectionDragRect();
  const bool ellipse = tool_ == Tool::EllipseSelect;
  apply([&] {
    if (r.width() < 1 || r.height() < 1) {
      if (!doc_->content().hasSelection()) return;
      doc_->edit("Deselect", [](engine::DocumentContent& c) { engine::deselect(c); });
    } else {
      const auto polygon = ellipse ? ellipsePolygon(r) : rectanglePolygon(r);
      doc_->edit(ellipse ? "Elliptical Marquee" : "Rectangular Marquee", [&](engine::DocumentContent& c) {
        engine::selectRegion(c, polygon, engine::SelectionType::Replace, 0);
      });
    }
    engine_->noteChange();
  });
}

void CanvasView::wheelEvent(QWheelEvent* event) {
  const QPoint steps = event->angleDelta();
  if (event->modifiers() & Qt::ControlModifier) {
    zoomBy(std::pow(1.25, steps.y() / 120.0), event->position());
  } else {
    const bool sideways = event->modifiers() & Qt::ShiftModifier;
    origin_ += sideways ? QPointF(steps.y() / 2.0, 0) : QPointF(steps.x() / 2.0, steps.y() / 2.0);
    fitted_ = false;
    update();
  }
  event->accept();
}

void CanvasView::keyPressEvent(QKeyEvent* event) {
  const int step = (event->modifiers() & Qt::ShiftModifier) ? 10 : 1;
  switch (event->key()) {
    case Qt::Key_Left: nudge(-step, 0); break;
    case Qt::Key_Right: nudge(step, 0); break;
    case Qt::Key_Up: nudge(0, -step); break;
    case Qt::Key_Down: nudge(0, step); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: commitTransform(); break;
    case Qt::Key_Escape: cancelTransform(); break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

}  // namespace workspace
