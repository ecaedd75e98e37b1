#pragma once
// Photoshop's blend modes as formulas on one colour: separable modes channel by channel (also
// as 8-bit tables for the compositor's integer path), the non-separable modes on whole colours.
// Where Photoshop differs from the W3C compositing formulas, Photoshop's behaviour is the rule:
// soft light uses the square root throughout, hard mix is a threshold of vivid light, lighter
// and darker colour compare luminosity, and the "special" modes apply fill opacity to the blend
// colour rather than to coverage.

#include <cstdint>

#include "engine/layer.h"

namespace engine::blend {

// Channels are 0..1.
float separable(BlendMode mode, float backdrop, float source);
bool isSeparable(BlendMode mode);
// Modes whose result for a fully transparent source is not the backdrop unless handled: the
// caller blends them per pixel in floating point.
bool isNonSeparable(BlendMode mode);

// B(b, s) for every pair of 8-bit channels of a separable mode: table[s * 256 + b].
const std::uint8_t* separableTable(BlendMode mode);

// Modes for which Photoshop applies fill opacity inside the blend (the source colour fades to
// the mode's neutral colour) instead of fading the layer's coverage.
bool fillActsInBlend(BlendMode mode);
// The blend of one channel with fill opacity `fill` (0..1) for those modes.
float separableWithFill(BlendMode mode, float backdrop, float source, float fill);

float luminosity(const float c[3]);

}  // namespace engine::blend
