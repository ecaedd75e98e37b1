#include "engine/filters.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

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

float lattice(std::int32_t x, std::int32_t y, std::uint32_t seed) { return float(hash3(x, y, seed) & 0xFFFFFF) / float(0xFFFFFF); }

float smooth(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

// Value noise at position (x, y) in lattice units, 0..1.
float valueNoise(float x, float y, std::uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const auto ix = std::int32_t(fx), iy = std::int32_t(fy);
  const float tx = smooth(x - fx), ty = smooth(y - fy);
  const float a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
  const float c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
  const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

}  // namespace

Raster renderClouds(const Rect& area, Rgb fg, Rgb bg, std::uint32_t seed) {
  Raster out(area);
  if (out.empty()) return out;
  constexpr float kBaseWavelength = 256.0f;  // pixels per lattice cell of the coarsest octave
  constexpr int kOctaves = 8;
  std::vector<float> values(std::size_t(area.area()));
  float lo = 1e9f, hi = -1e9f;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      float sum = 0.0f, amplitude = 0.5f, frequency = 1.0f / kBaseWavelength;
      for (int o = 0; o < kOctaves; ++o) {
        sum += amplitude * valueNoise(x * frequency, y * frequency, seed + std::uint32_t(o) * 7919u);
        amplitude *= 0.5f;
        frequency *= 2.0f;
      }
      values[std::size_t(y - area.top) * area.width() + (x - area.left)] = sum;
      lo = std::min(lo, sum);
      hi = std::max(hi, sum);
    }
  }
  // Stretch to the full range between the two colours, as the filter's output spans both.
  const float range = hi - lo > 1e-6f ? hi - lo : 1.0f;
  std::uint8_t* p = out.mutableData();
  for (float v : values) {
    const float t = (v - lo) / range;
    p[0] = std::uint8_t(std::lround(bg.r + (fg.r - bg.r) * t));
    p[1] = std::uint8_t(std::lround(bg.g + (fg.g - bg.g) * t));
    p[2] = std::uint8_t(std::lround(bg.b + (fg.b - bg.b) * t));
    p[3] = 255;
    p += 4;
  }
  return out;
}

}  // namespace engine
