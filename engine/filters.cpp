#include "engine/filters.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace engine {

namespace {

constexpr int kCoarsestCell = 256;  // pixels per lattice cell of the coarsest octave
constexpr int kFinestCell = 4;      // finer octaves add only a regular grain

std::uint32_t hash3(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9E3779B1u;
  h ^= std::uint32_t(x) * 0x85EBCA77u;
  h = (h << 13) | (h >> 19);
  h ^= std::uint32_t(y) * 0xC2B2AE3Du;
  h *= 0x27D4EB2Fu;
  h ^= h >> 15;
  h *= 0x165667B1u;
  h ^= h >> 13;
  return h;
}

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

// Gradient of a lattice point: one of 32 unit directions, chosen by the hash.
struct Gradient {
  float x;
  float y;
};
Gradient gradientAt(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  static const auto directions = [] {
    std::vector<Gradient> d(32);
    for (int i = 0; i < 32; ++i) d[std::size_t(i)] = {float(std::cos(i * 2.0 * std::numbers::pi / 32)), float(std::sin(i * 2.0 * std::numbers::pi / 32))};
    return d;
  }();
  return directions[hash3(x, y, seed) & 31u];
}

// Where each column of the area falls in one octave's lattice.
struct ColumnPlace {
  int cell;   // lattice column, relative to the first one the area touches
  float dx;   // offset within the cell, 0..1
  float u;    // faded offset
};

// One octave of gradient noise over an area, produced row by row. Along a row the two lattice
// rows above and below are folded into one value and one slope per lattice column, so each
// pixel costs a few multiplications.
class Octave {
 public:
  Octave(const Rect& area, int cellSize, float amplitude, std::uint32_t seed)
      : cellSize_(cellSize), scale_(1.0f / float(cellSize)), amplitude_(amplitude), seed_(seed),
        // Each octave's lattice is shifted by its own amount: aligned lattices would all vanish
        // at the same points and show the coarsest grid.
        shiftX_(int(hash3(-1, 0, seed) % std::uint32_t(cellSize))),
        shiftY_(int(hash3(0, -1, seed) % std::uint32_t(cellSize))) {
    firstColumn_ = floorDiv(area.left + shiftX_);
    const std::size_t columns = std::size_t(floorDiv(area.right - 1 + shiftX_) - firstColumn_ + 2);
    places_.resize(std::size_t(area.width()));
    for (int x = area.left; x < area.right; ++x) {
      const int c = floorDiv(x + shiftX_);
      const float dx = (float(x + shiftX_ - c * cellSize) + 0.5f) * scale_;
      places_[std::size_t(x - area.left)] = {c - firstColumn_, dx, fade(dx)};
    }
    value_.resize(columns);
    slope_.resize(columns);
    upper_.resize(columns);
    lower_.resize(columns);
  }

  void addRow(int y, float* sum) {
    const int r = floorDiv(y + shiftY_);
    if (r != cachedRow_) {
      for (std::size_t i = 0; i < upper_.size(); ++i) {
        upper_[i] = gradientAt(firstColumn_ + int(i), r, seed_);
        lower_[i] = gradientAt(firstColumn_ + int(i), r + 1, seed_);
      }
      cachedRow_ = r;
    }
    const float dy = (float(y + shiftY_ - r * cellSize_) + 0.5f) * scale_;
    const float v = fade(dy);
    for (std::size_t i = 0; i < upper_.size(); ++i) {
      value_[i] = amplitude_ * ((1.0f - v) * upper_[i].y * dy + v * lower_[i].y * (dy - 1.0f));
      slope_[i] = amplitude_ * ((1.0f - v) * upper_[i].x + v * lower_[i].x);
    }
    for (std::size_t x = 0; x < places_.size(); ++x) {
      const ColumnPlace& p = places_[x];
      const std::size_t i = std::size_t(p.cell);
      const float left = value_[i] + slope_[i] * p.dx;
      const float right = value_[i + 1] + slope_[i + 1] * (p.dx - 1.0f);
      sum[x] += left + (right - left) * p.u;
    }
  }

 private:
  int floorDiv(int v) const { return v >= 0 ? v / cellSize_ : -((-v + cellSize_ - 1) / cellSize_); }

  int cellSize_;
  float scale_;
  float amplitude_;
  std::uint32_t seed_;
  int shiftX_, shiftY_;
  int firstColumn_ = 0;
  int cachedRow_ = std::numeric_limits<int>::min();
  std::vector<ColumnPlace> places_;
  std::vector<float> value_, slope_;
  std::vector<Gradient> upper_, lower_;
};

// Gradient noise with unit gradients stays within +-sqrt(2)/2 per octave, and the octaves'
// amplitudes sum to less than 1: the bounds for storing the sum as a 16-bit number.
constexpr float kNoiseBound = 0.7072f;

}  // namespace

Raster renderClouds(const Rect& area, Rgb fg, Rgb bg, std::uint32_t seed) {
  Raster out(area);
  if (out.empty()) return out;
  std::vector<Octave> octaves;
  float amplitude = 0.5f;
  std::uint32_t octaveSeed = seed;
  for (int cell = kCoarsestCell; cell >= kFinestCell; cell /= 2, amplitude *= 0.5f, octaveSeed += 7919u)
    octaves.emplace_back(area, cell, amplitude, octaveSeed);
  // The noise is kept as a 16-bit number in the first two bytes of each result pixel until its
  // range is known: no second canvas-sized buffer.
  std::uint8_t* px = out.mutableData();
  std::vector<float> row(std::size_t(area.width()));
  int low = 65535, high = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    std::fill(row.begin(), row.end(), 0.0f);
    for (Octave& o : octaves) o.addRow(y, row.data());
    std::uint8_t* p = px + std::size_t(y - area.top) * area.width() * 4;
    for (float v : row) {
      const int q = std::clamp(int((v + kNoiseBound) * (65535.0f / (2.0f * kNoiseBound))), 0, 65535);
      low = std::min(low, q);
      high = std::max(high, q);
      p[0] = std::uint8_t(q >> 8);
      p[1] = std::uint8_t(q & 255);
      p += 4;
    }
  }
  // Stretch to the full range between the two colours, as the filter's output spans both.
  const int range = std::max(1, high - low);
  const int dr = fg.r - bg.r, dg = fg.g - bg.g, db = fg.b - bg.b;
  for (std::int64_t i = 0, n = area.area(); i < n; ++i, px += 4) {
    const int q = px[0] << 8 | px[1];
    const int t = int((std::int64_t(q - low) << 16) / range);  // 0..65536
    px[0] = std::uint8_t(bg.r + ((dr * t + 32768) >> 16));
    px[1] = std::uint8_t(bg.g + ((dg * t + 32768) >> 16));
    px[2] = std::uint8_t(bg.b + ((db * t + 32768) >> 16));
    px[3] = 255;
  }
  return out;
}

}  // namespace engine
