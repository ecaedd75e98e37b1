#pragma once
// How close our composite comes to the merged image a Photoshop file stores: per pixel, the
// largest difference of the two seen over white (as the stored image holds them) or of alpha.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "engine/raster.h"

namespace fixtures {

// The folder of real Photoshop files: QUILLARY_CORPUS_DIR at run time, else the one configured.
inline std::filesystem::path corpusRoot() {
  if (const char* env = std::getenv("QUILLARY_CORPUS_DIR"); env && *env) return env;
  return QUILLARY_CORPUS_DIR;
}

// Shares of the stored image's pixels within 2 and within 8 levels.
struct Closeness {
  double withinTwo = 0, withinEight = 0;
};

inline Closeness closenessToStored(const engine::Raster& ours, const engine::Raster& stored) {
  const engine::Rect area = stored.bounds();
  std::int64_t two = 0, eight = 0;
  static const std::uint8_t clear[4] = {0, 0, 0, 0};
  const auto overWhite = [](const std::uint8_t* p, int c) { return (p[c] * p[3] + 255 * (255 - p[3]) + 127) / 255; };
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const std::uint8_t* a = ours.bounds().contains(x, y) ? ours.pixel(x, y) : clear;
      const std::uint8_t* b = stored.pixel(x, y);
      int worst = std::abs(a[3] - b[3]);
      for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(overWhite(a, c) - overWhite(b, c)));
      two += worst <= 2;
      eight += worst <= 8;
    }
  }
  if (area.empty()) return {1.0, 1.0};
  const double n = double(area.area());
  return {double(two) / n, double(eight) / n};
}

}  // namespace fixtures
