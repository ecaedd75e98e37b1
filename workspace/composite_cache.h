#pragma once
// The pictures the canvas paints. A document's composite is made once per content; while layers
// are dragged, the composite is split into what lies below the moving layers and what lies
// above them, so that each frame of a drag composites only the layers that move.

#include <QImage>
#include <QPoint>
#include <vector>

#include "engine/document.h"

class QPainter;

namespace workspace {

// The raster's pixels as a premultiplied image of the raster's own size.
QImage toImage(const engine::Raster& raster);

// The visible layers of a document over transparency, canvas-sized, in the engine's own pixels.
QImage compositeImage(const engine::DocumentContent& content);

class DragComposite {
 public:
  // Splits the top-level layers around the ones that hold what moves with `layer` (its members
  // and every layer linked to any of them).
  DragComposite(const engine::DocumentContent& content, engine::LayerId layer);

  // Paints the document as it would be with the moving layers shifted by `offset`, in document
  // coordinates (the painter's transform maps them to the screen).
  void paint(QPainter& painter, QPoint offset) const;
  bool movable() const { return movable_; }

 private:
  engine::DocumentContent moving_;  // the top-level run that holds every moving layer
  engine::LayerId layer_ = 0;
  QImage below_;
  QImage above_;
  bool movable_ = false;
};

}  // namespace workspace
