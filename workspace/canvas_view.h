#pragma once
// The canvas: a document's composite over a checkerboard, zoomed and panned, with the active
// layer's bounds and the selection outlined. The mouse moves the active layer (one history
// state per drag), draws rectangle and ellipse selections, and drives the transform handles;
// while a transform is pending the engine refuses every automation call as busy.

#include <QImage>
#include <QPainterPath>
#include <QWidget>
#include <functional>
#include <memory>

#include "engine/engine.h"

namespace workspace {

class DragComposite;

class CanvasView : public QWidget {
  Q_OBJECT

 public:
  enum class Tool { Move, RectangleSelect, EllipseSelect };

  explicit CanvasView(QWidget* parent = nullptr);
  ~CanvasView() override;

  void setEngine(engine::Engine* eng) { engine_ = eng; }
  void setDocument(std::shared_ptr<engine::Document> doc);
  const std::shared_ptr<engine::Document>& document() const { return doc_; }
  // Shows the document's current content when it differs from what is shown.
  void refresh();
  // Called after every change the canvas makes, and with a message when one fails.
  void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }
  void setFailed(std::function<void(const QString&)> failed) { failed_ = std::move(failed); }

  void setTool(Tool tool) { tool_ = tool; }
  Tool tool() const { return tool_; }

  double zoom() const { return zoom_; }
  void fitToWindow();
  void actualPixels();
  // Zooms keeping the document point under `anchor` (widget coordinates) in place.
  void zoomBy(double factor, QPointF anchor);
  void zoomBy(double factor) { zoomBy(factor, QPointF(width() / 2.0, height() / 2.0)); }
  QPointF toDocument(QPointF widgetPoint) const;
  QPointF toWidget(QPointF documentPoint) const;

  bool transforming() const { return transforming_; }
  bool beginTransform();
  void commitTransform();
  void cancelTransform();
  QRect transformRect() const { return transformRect_; }

  // Moves the active layer with what is linked to it, as one history state.
  void nudge(int dx, int dy);

  // The document's composite as shown, made now if it is due.
  const QImage& compositeShown();
  // Nanoseconds spent painting since the last call, so that a follower of a running workflow
  // can count its paints in what it costs.
  qint64 takePaintCost();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  enum class Drag { None, Pan, Move, Select, Handle };

  void makeComposite();
  void paintPage();
  void paintCheckerboard(QPainter& painter, const QRectF& area) const;
  void paintOutlines(QPainter& painter) const;
  void paintHandles(QPainter& painter) const;
  QRectF handleRect(int handle) const;
  int handleAt(QPointF widgetPoint) const;
  QRect draggedHandleRect(QPoint documentPoint) const;
  QRect selectionDragRect() const;
  void beginDrag(QMouseEvent* event);
  void finishMove();
  void finishSelection();
  void setPendingEdit(bool pending);
  // Runs a change of the document; reports its failure instead of letting it escape.
  bool apply(const std::function<void()>& change);

  engine::Engine* engine_ = nullptr;
  std::shared_ptr<engine::Document> doc_;
  engine::ContentPtr shown_;
  QImage composite_;
  bool stale_ = false;  // composite_ and the selection outline are older than shown_
  qint64 paintCost_ = 0;
  QPainterPath selectionOutline_;
  QRect activeBounds_;
  std::function<void()> changed_;
  std::function<void(const QString&)> failed_;

  Tool tool_ = Tool::Move;
  double zoom_ = 1.0;
  QPointF origin_;  // widget position of the document's top-left corner
  bool fitted_ = true;

  Drag drag_ = Drag::None;
  QPointF pressWidget_;
  QPoint pressDocument_;
  QPoint dragDocument_;
  QPointF panStart_;
  std::unique_ptr<DragComposite> dragComposite_;

  bool transforming_ = false;
  QRect transformStart_;
  QRect transformRect_;
  int handle_ = -1;
};

}  // namespace workspace
