#include "engine/raster.h"

#include <array>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/errors.h"

namespace engine {

namespace {

std::shared_ptr<PixelBytes> allocate(const Rect& bounds) {
  checkPixelArea(bounds.width(), bounds.height());
  return std::make_shared<PixelBytes>(std::size_t(bounds.area()) * Raster::kChannels);
}

}  // namespace

Raster::Raster(const Rect& bounds) : bounds_(bounds.empty() ? Rect{} : bounds) {
  if (!bounds_.empty()) data_ = allocate(bounds_);
}

Raster Raster::filled(const Rect& bounds, Rgb color, std::uint8_t alpha) {
  Raster r(bounds);
  if (r.empty()) return r;
  std::uint8_t* p = r.mutableData();
  const std::size_t n = std::size_t(r.bounds_.area());
  for (std::size_t i = 0; i < n; ++i, p += kChannels) {
    p[0] = color.r;
    p[1] = color.g;
    p[2] = color.b;
    p[3] = alpha;
  }
  return r;
}

std::uint8_t* Raster::mutableData() {
  if (!data_) return nullptr;
  if (data_.use_count() > 1) data_ = std::make_shared<PixelBytes>(*data_);
  return data_->data();
}

void Raster::cover(const Rect& area) {
  if (area.empty() || bounds_.contains(area)) return;
  const Rect grown = bounds_.united(area);
  Raster bigger(grown);
  if (!empty()) {
    std::uint8_t* dst = bigger.mutableData();
    const int rowBytes = stride();
    for (int y = bounds_.top; y < bounds_.bottom; ++y) {
      std::memcpy(dst + (std::size_t(y - grown.top) * grown.width() + (bounds_.left - grown.left)) * kChannels,
                  pixel(bounds_.left, y), rowBytes);
    }
  }
  *this = std::move(bigger);
}

void Raster::clip(const Rect& area) {
  const Rect kept = bounds_.intersected(area);
  if (kept == bounds_) return;
  if (kept.empty()) {
    *this = Raster();
    return;
  }
  Raster smaller(kept);
  std::uint8_t* dst = smaller.mutableData();
  for (int y = kept.top; y < kept.bottom; ++y)
    std::memcpy(dst + std::size_t(y - kept.top) * smaller.stride(), pixel(kept.left, y), smaller.stride());
  *this = std::move(smaller);
}

void Raster::trim() {
  if (empty()) return;
  int minX = bounds_.right, minY = bounds_.bottom, maxX = bounds_.left - 1, maxY = bounds_.top - 1;
  for (int y = bounds_.top; y < bounds_.bottom; ++y) {
    const std::uint8_t* row = pixel(bounds_.left, y);
    for (int x = bounds_.left; x < bounds_.right; ++x, row += kChannels) {
      if (row[3] == 0) continue;
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = y;
    }
  }
  if (maxX < minX) {
    *this = Raster();
    return;
  }
  clip({minX, minY, maxX + 1, maxY + 1});
}

bool Raster::samePixels(const Raster& other) const {
  // Compares what is visible: transparent pixels outside either bounds count as equal.
  const Rect all = bounds_.united(other.bounds_);
  for (int y = all.top; y < all.bottom; ++y) {
    for (int x = all.left; x < all.right; ++x) {
      static const std::uint8_t clear[4] = {0, 0, 0, 0};
      const std::uint8_t* a = bounds_.contains(x, y) ? pixel(x, y) : clear;
      const std::uint8_t* b = other.bounds_.contains(x, y) ? other.pixel(x, y) : clear;
      if (a[3] == 0 && b[3] == 0) continue;
      if (std::memcmp(a, b, kChannels) != 0) return false;
    }
  }
  return true;
}

ColorF labToSrgb(double l, double a, double b) {
  const double fy = (l + 16.0) / 116.0, fx = fy + a / 500.0, fz = fy - b / 200.0;
  const auto finv = [](double t) { return t > 6.0 / 29.0 ? t * t * t : 3.0 * (6.0 / 29.0) * (6.0 / 29.0) * (t - 4.0 / 29.0); };
  // The matrix maps D50 XYZ to linear sRGB (Bradford-adapted).
  const double x = 0.9642 * finv(fx), y = finv(fy), z = 0.8251 * finv(fz);
  const double linear[3] = {3.1338561 * x - 1.6168667 * y - 0.4906146 * z, -0.9787684 * x + 1.9161415 * y + 0.0334540 * z,
                            0.0719453 * x - 0.2289914 * y + 1.4052427 * z};
  double out[3];
  for (int i = 0; i < 3; ++i) {
    const double v = std::clamp(std::isfinite(linear[i]) ? linear[i] : 0.0, 0.0, 1.0);
    out[i] = 255.0 * (v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055);
  }
  return {out[0], out[1], out[2]};
}

double srgbToLinear(double unit) { return unit <= 0.04045 ? unit / 12.92 : std::pow((unit + 0.055) / 1.055, 2.4); }

ColorF srgbToLab(const std::uint8_t* rgb) {
  static const std::array<double, 256> linear = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i) {
      const double v = i / 255.0;
      t[std::size_t(i)] = srgbToLinear(v);
    }
    return t;
  }();
  const double r = linear[rgb[0]], g = linear[rgb[1]], b = linear[rgb[2]];
  // Linear sRGB to D50 XYZ (Bradford-adapted), over the D50 white.
  const double x = (0.4360747 * r + 0.3850649 * g + 0.1430804 * b) / 0.9642;
  const double y = 0.2225045 * r + 0.7168786 * g + 0.0606169 * b;
  const double z = (0.0139322 * r + 0.0971045 * g + 0.7141733 * b) / 0.8251;
  const auto f = [](double t) {
    constexpr double d = 6.0 / 29.0;
    return t > d * d * d ? std::cbrt(t) : t / (3.0 * d * d) + 4.0 / 29.0;
  };
  const double fx = f(x), fy = f(y), fz = f(z);
  return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

std::uint8_t srgbByte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 1.0f) return 255;
  const float s = v <= 0.0031308f ? 12.92f * v : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
  return std::uint8_t(std::lround(s * 255.0f));
}

}  // namespace engine
