#pragma once
// Vector masks: the paths of shape layers and of vector masks (LayerNode::vectorMask). Paths
// are stored relative to the document's size; they are drawn anti-aliased, each subpath combined with the ones before it by its own
// operation (add, subtract, intersect, exclude).

#include <optional>

#include "engine/layer.h"

namespace engine {

// True when the layer carries a vector mask that is switched on.
bool hasVectorMask(const LayerNode& node);

// The mask's coverage over `area` for a document of size `canvas`; nothing when the layer has
// no vector mask or it is switched off. Pixels beyond `area` have the
// value the mask has far from every path.
std::optional<Mask> renderVectorMask(const LayerNode& node, const Rect& canvas, const Rect& area);

// Fill and shape layers read from a file store their pixels with the vector mask already
// applied (a shape's fill is a fill kind or a vector content block); for them the mask must not
// be applied again.
bool pixelsShowVectorMask(const LayerNode& node);

// The extent of the shape the vector mask draws, from its paths (curves included) rather than
// from pixels; nothing when the mask is inverted, starts from everything or draws nothing. It is
// a shape layer's box, which gradients aligned with the layer span.
std::optional<RectF> vectorShapeBox(const LayerNode& node, const Rect& canvas);

// Vector masks and fill-layer shapes move and scale with the pixels: the path points of the node
// (not of its members), stored relative to a canvas of `from`, are moved by (dx, dy) pixels and
// stored relative to a canvas of `to` (translate: same canvas; crop: the cropped canvas; a copy
// into another document: that document's canvas). A resample needs nothing: relative points
// scale with the canvas.
void moveVectorMask(LayerNode& node, const Rect& from, const Rect& to, int dx, int dy);

// Drops the vector mask of a layer and the blocks that go with it (once the mask has been drawn
// into its pixels).
void removeVectorMask(LayerNode& node);

}  // namespace engine
