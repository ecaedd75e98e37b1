#pragma once
// Painting the parts of layer effects: a colour, gradient or pattern through a coverage plane,
// and the bevel's lights and shades.

#include "engine/layer_effects.h"
#include "engine/layer_effects_shape.h"

namespace engine::fx {

// Paints `fill` onto `work` where `cover` says, times `opacity`, with `mode`. Gradients span
// `box` (the layer's bounds, or the canvas when not aligned with the layer).
// `within`, where given, is the shape the cover was drawn inside of: the cover is taken as a
// share of it, for effects painted onto the layer's own colours before its shape fades them in.
void paintCover(Raster& work, const Plane& cover, const EffectFill& fill, const RectF& box, BlendMode mode,
                double opacity, const Plane* within = nullptr);
void paintColor(Raster& work, const Plane& cover, Rgb color, BlendMode mode, double opacity,
                const Plane* within = nullptr);

// The bevel's highlights and shadows, lit by its angle and altitude, onto `work`.
// `within` (when given) is the shape an interior bevel is painted within, as paintCover's.
void drawBevel(Raster& work, const Plane& shape, ShapeDistances& distances, const BevelEffect& bevel,
               const Plane* within = nullptr);
// Whether the bevel lies wholly inside the shape.
bool isInteriorBevel(const BevelEffect& bevel);

}  // namespace engine::fx
