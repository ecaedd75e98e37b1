#pragma once
// Resampling of layer pixels when the image size changes.

#include "engine/mask.h"
#include "engine/raster.h"

namespace engine {

// Photoshop's resample-method numbering (also the Interpolation preference).
enum class ResampleMethod : int {
  None = 1, NearestNeighbor = 2, Bilinear = 3, Bicubic = 4, BicubicSharper = 5, BicubicSmoother = 6,
  BicubicAutomatic = 7, Automatic = 8, PreserveDetails = 9,
};

// Scales pixels about the document origin by (sx, sy): document position X of the result
// samples position (X + 0.5) / sx - 0.5 of the source. Beyond `canvas` (when given) the edge
// pixels repeat, as at the edge of a picture, so content that fills the canvas keeps hard
// edges; elsewhere outside the source bounds is transparent.
Raster resampleRaster(const Raster& source, double sx, double sy, ResampleMethod method, const Rect& canvas = {});
Mask resampleMask(const Mask& source, double sx, double sy);

}  // namespace engine
