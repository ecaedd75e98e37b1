#pragma once
// The compositor's pixel work: painting a source raster onto a surface with one blend mode,
// a coverage strength, a mask and the shape of a clipping base. 8-bit straight alpha, with
// integer paths for normal and the separable modes.

#include <cstdint>
#include <vector>

#include "engine/layer.h"
#include "engine/mask.h"
#include "engine/raster.h"

namespace engine::paint {

// x / 255 rounded, for 0 <= x <= 255 * 255 * 2.
inline int div255(int x) { return (x + 128 + ((x + 128) >> 8)) >> 8; }

// An 8-bit weight per pixel over a rectangle: how much of a clipping group's base is there.
struct Coverage {
  Rect area;
  std::vector<std::uint8_t> values;
  explicit Coverage(const Rect& a) : area(a), values(std::size_t(a.area()), 0) {}
  std::uint8_t* row(int y) { return values.data() + std::size_t(y - area.top) * area.width(); }
  const std::uint8_t* row(int y) const { return values.data() + std::size_t(y - area.top) * area.width(); }
};

struct Paint {
  BlendMode mode = BlendMode::Normal;
  int alpha = 255;     // opacity, times fill opacity unless the fill acts in the blend
  float fill = 1.0f;   // below 1 only for the modes whose fill acts in the blend
  const Mask* mask = nullptr;
  const Coverage* clip = nullptr;
  bool mixInLab = false;  // partial coverage mixes in L*a*b* (a Lab document's layers)
};

// How a layer's opacity, fill opacity and blend mode paint it.
Paint paintOf(const LayerNode& node);

// Paints `source` onto `surface` where both are, within the mask and the clip.
void paint(const Raster& source, Raster& surface, const Paint& p);

// Paints `n` source pixels onto `n` surface pixels at document position (x, y); `weights` (may
// be null) scales coverage.
void paintSpan(const Paint& p, std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* weights, int n, int x, int y);

// The mask's values of one row segment, its outside value beyond its own bounds.
void maskRow(const Mask& mask, int y, int x0, int n, std::uint8_t* out);

}  // namespace engine::paint
