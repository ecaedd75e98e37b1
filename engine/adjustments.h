#pragma once
// Adjustment layers: the change each makes to the colours below it, from its settings
// (LayerNode::adjustment: curves, levels, exposure, posterize, threshold, invert, hue/saturation,
// brightness/contrast). The compositor applies the change to what lies below and blends the
// result with the layer's opacity, masks and blend mode.

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "engine/layer.h"

namespace engine {

// Changes `count` straight RGBA pixels in place, leaving alpha alone.
using ColorAdjustment = std::function<void(std::uint8_t* rgba, std::size_t count)>;

// A natural cubic spline through (input, output) points on the 0..255 grid, sampled at each
// whole input; flat beyond the first and last points. Curves and effect contours are drawn so.
std::array<double, 256> splineThrough(std::vector<std::pair<double, double>> points);

// True for the kinds of layer that adjust what lies below instead of showing pixels.
bool isAdjustmentKind(LayerKind kind);

// The layer's adjustment; empty when it is not an adjustment layer, or when its settings are
// missing, unreadable or of a kind the engine does not apply (the layer then changes nothing).
ColorAdjustment adjustmentOf(const LayerNode& node);

}  // namespace engine
