#include "engine/blend_modes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>

#include "engine/composite.h"

namespace engine::blend {

namespace {

float colorDodge(float b, float s) {
  if (b <= 0.0f) return 0.0f;
  if (s >= 1.0f) return 1.0f;
  return std::min(1.0f, b / (1.0f - s));
}

float colorBurn(float b, float s) {
  if (b >= 1.0f) return 1.0f;
  if (s <= 0.0f) return 0.0f;
  return 1.0f - std::min(1.0f, (1.0f - b) / s);
}

float vividLight(float b, float s) { return s <= 0.5f ? colorBurn(b, 2.0f * s) : colorDodge(b, 2.0f * s - 1.0f); }

void clipColor(float c[3]) {
  const float l = luminosity(c);
  const float n = std::min({c[0], c[1], c[2]});
  const float x = std::max({c[0], c[1], c[2]});
  for (int i = 0; i < 3; ++i) {
    if (n < 0.0f && l - n > 1e-6f) c[i] = l + (c[i] - l) * l / (l - n);
    if (x > 1.0f && x - l > 1e-6f) c[i] = l + (c[i] - l) * (1.0f - l) / (x - l);
  }
}

void setLum(const float c[3], float l, float out[3]) {
  const float d = l - luminosity(c);
  for (int i = 0; i < 3; ++i) out[i] = c[i] + d;
  clipColor(out);
}

float sat(const float c[3]) { return std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}); }

void setSat(const float c[3], float s, float out[3]) {
  int maxI = 0, minI = 0;
  for (int i = 1; i < 3; ++i) {
    if (c[i] > c[maxI]) maxI = i;
    if (c[i] < c[minI]) minI = i;
  }
  if (maxI == minI) {
    out[0] = out[1] = out[2] = 0.0f;
    return;
  }
  const int midI = 3 - maxI - minI;
  out[midI] = (c[midI] - c[minI]) * s / (c[maxI] - c[minI]);
  out[maxI] = s;
  out[minI] = 0.0f;
}

constexpr int kModeSlots = 31;

}  // namespace

float luminosity(const float c[3]) { return 0.3f * c[0] + 0.59f * c[1] + 0.11f * c[2]; }

float separable(BlendMode mode, float b, float s) {
  switch (mode) {
    case BlendMode::Multiply: return b * s;
    case BlendMode::Screen: return b + s - b * s;
    case BlendMode::Overlay: return b <= 0.5f ? 2.0f * b * s : 1.0f - 2.0f * (1.0f - b) * (1.0f - s);
    case BlendMode::Darken: return std::min(b, s);
    case BlendMode::Lighten: return std::max(b, s);
    case BlendMode::ColorDodge: return colorDodge(b, s);
    case BlendMode::ColorBurn: return colorBurn(b, s);
    case BlendMode::HardLight: return s <= 0.5f ? 2.0f * b * s : 1.0f - 2.0f * (1.0f - b) * (1.0f - s);
    case BlendMode::SoftLight:
      return s <= 0.5f ? b - (1.0f - 2.0f * s) * b * (1.0f - b) : b + (2.0f * s - 1.0f) * (std::sqrt(b) - b);
    case BlendMode::Difference: return std::fabs(b - s);
    case BlendMode::Exclusion: return b + s - 2.0f * b * s;
    case BlendMode::LinearBurn: return std::max(0.0f, b + s - 1.0f);
    case BlendMode::LinearDodge: return std::min(1.0f, b + s);
    case BlendMode::VividLight: return std::clamp(vividLight(b, s), 0.0f, 1.0f);
    case BlendMode::LinearLight: return std::clamp(b + 2.0f * s - 1.0f, 0.0f, 1.0f);
    case BlendMode::PinLight: return s <= 0.5f ? std::min(b, 2.0f * s) : std::max(b, 2.0f * s - 1.0f);
    case BlendMode::HardMix: return vividLight(b, s) < 0.5f ? 0.0f : 1.0f;
    case BlendMode::Subtract: return std::max(0.0f, b - s);
    case BlendMode::Divide: return s <= 0.0f ? (b <= 0.0f ? 0.0f : 1.0f) : std::min(1.0f, b / s);
    default: return s;
  }
}

bool isSeparable(BlendMode mode) {
  switch (mode) {
    case BlendMode::Multiply: case BlendMode::Screen: case BlendMode::Overlay: case BlendMode::Darken:
    case BlendMode::Lighten: case BlendMode::ColorDodge: case BlendMode::ColorBurn: case BlendMode::HardLight:
    case BlendMode::SoftLight: case BlendMode::Difference: case BlendMode::Exclusion: case BlendMode::LinearBurn:
    case BlendMode::LinearDodge: case BlendMode::VividLight: case BlendMode::LinearLight: case BlendMode::PinLight:
    case BlendMode::HardMix: case BlendMode::Subtract: case BlendMode::Divide:
      return true;
    default:
      return false;
  }
}

bool isNonSeparable(BlendMode mode) {
  return mode == BlendMode::Hue || mode == BlendMode::Saturation || mode == BlendMode::Color ||
         mode == BlendMode::Luminosity || mode == BlendMode::LighterColor || mode == BlendMode::DarkerColor;
}

const std::uint8_t* separableTable(BlendMode mode) {
  static std::array<std::once_flag, kModeSlots> built;
  static std::array<std::unique_ptr<std::uint8_t[]>, kModeSlots> tables;
  const int slot = int(mode);
  if (slot < 0 || slot >= kModeSlots || !isSeparable(mode)) return nullptr;
  std::call_once(built[std::size_t(slot)], [&] {
    auto table = std::make_unique<std::uint8_t[]>(256 * 256);
    for (int s = 0; s < 256; ++s)
      for (int b = 0; b < 256; ++b)
        table[std::size_t(s) * 256 + b] = std::uint8_t(std::lround(separable(mode, b / 255.0f, s / 255.0f) * 255.0f));
    tables[std::size_t(slot)] = std::move(table);
  });
  return tables[std::size_t(slot)].get();
}

bool fillActsInBlend(BlendMode mode) {
  switch (mode) {
    case BlendMode::ColorBurn: case BlendMode::LinearBurn: case BlendMode::ColorDodge: case BlendMode::LinearDodge:
    case BlendMode::VividLight: case BlendMode::LinearLight: case BlendMode::HardMix: case BlendMode::Difference:
      return true;
    default:
      return false;
  }
}

float separableWithFill(BlendMode mode, float b, float s, float fill) {
  switch (mode) {
    case BlendMode::HardMix:
      // Lowering fill turns the hard threshold into an ever softer ramp, reaching the backdrop at 0.
      if (fill >= 1.0f) return separable(mode, b, s);
      return std::clamp((b - (1.0f - s) * fill) / (1.0f - fill), 0.0f, 1.0f);
    case BlendMode::ColorDodge: case BlendMode::LinearDodge: case BlendMode::Difference:
      return separable(mode, b, s * fill);  // neutral colour black
    case BlendMode::ColorBurn: case BlendMode::LinearBurn:
      return separable(mode, b, 1.0f - (1.0f - s) * fill);  // neutral colour white
    case BlendMode::VividLight: case BlendMode::LinearLight:
      return separable(mode, b, 0.5f + (s - 0.5f) * fill);  // neutral grey
    default:
      return separable(mode, b, s);
  }
}

}  // namespace engine::blend

namespace engine {

void blendColor(BlendMode mode, const float b[3], const float s[3], float out[3]) {
  float tmp[3];
  switch (mode) {
    case BlendMode::Hue:
      blend::setSat(s, blend::sat(b), tmp);
      blend::setLum(tmp, blend::luminosity(b), out);
      return;
    case BlendMode::Saturation:
      blend::setSat(b, blend::sat(s), tmp);
      blend::setLum(tmp, blend::luminosity(b), out);
      return;
    case BlendMode::Color: blend::setLum(s, blend::luminosity(b), out); return;
    case BlendMode::Luminosity: blend::setLum(b, blend::luminosity(s), out); return;
    case BlendMode::LighterColor: {
      const float* pick = blend::luminosity(s) > blend::luminosity(b) ? s : b;
      std::copy(pick, pick + 3, out);
      return;
    }
    case BlendMode::DarkerColor: {
      const float* pick = blend::luminosity(s) < blend::luminosity(b) ? s : b;
      std::copy(pick, pick + 3, out);
      return;
    }
    default:
      for (int i = 0; i < 3; ++i) out[i] = blend::separable(mode, b[i], s[i]);
  }
}

}  // namespace engine
