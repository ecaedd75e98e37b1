#pragma once
// Compositing of layer stacks with Photoshop's blend modes, opacity, fill opacity, layer masks
// and vector masks (with their densities and feathers), clipping masks and pass-through groups.
// Used by Merge, Flatten and the merged image of a file.

#include <vector>

#include "engine/document.h"
#include "engine/layer.h"
#include "engine/raster.h"

namespace engine {

// The widest feather a layer mask or vector mask may have, in pixels (Photoshop's limit).
inline constexpr double kMaxMaskFeather = 1000.0;

// `mask` blurred by a Gaussian of `radius` pixels, as masks and selections are feathered, over
// the part of `area` the blur reaches.
Mask featheredMask(const Mask& mask, double radius, const Rect& area);

// The visible layers of `layers` (topmost first) composited over transparency within `area`.
// `canvas` is the document's size: without it vector masks and fill layers that carry no
// pixels of their own do not show.
// `mixing` is the document's (see ColorMixing).
Raster compositeLayers(const std::vector<LayerNode>& layers, const Rect& area, const Rect& canvas = {},
                       ColorMixing mixing = ColorMixing::Rgb);
// The document's merged image: all visible layers over transparency, canvas-sized.
Raster compositeDocument(const DocumentContent& content);
// The pixels of a set merged into one layer: its visible members composited in isolation, as
// Photoshop's Merge Group makes them, trimmed to what they cover (pixels beyond the canvas kept).
Raster mergeSetPixels(const LayerNode& set, const Rect& canvas = {});

// One blend of a source colour onto a backdrop colour, channels 0..1, for the separable and
// non-separable modes (PassThrough and Normal give the source).
void blendColor(BlendMode mode, const float backdrop[3], const float source[3], float out[3]);

// Paints one colour onto a straight 8-bit RGBA pixel at document position (x, y) with a blend
// mode and coverage `alpha` (0..1), as Fill and Stroke do. Preserving transparency keeps the
// pixel's alpha and blends as if the pixel were opaque.
void paintPixel(BlendMode mode, std::uint8_t* rgba, Rgb color, float alpha, bool preserveTransparency, int x, int y);

}  // namespace engine
