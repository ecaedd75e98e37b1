#pragma once
// Filters that make pixels from nothing: clouds are fractal noise between two colours.

#include <cstdint>

#include "engine/raster.h"

namespace engine {

// Opaque clouds over `area`, foreground where the noise is high and background where it is
// low. The same seed gives the same clouds; the noise is anchored to document coordinates.
Raster renderClouds(const Rect& area, Rgb foreground, Rgb background, std::uint32_t seed);

}  // namespace engine
