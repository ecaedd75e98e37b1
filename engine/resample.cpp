#include "engine/resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace engine {

namespace {

Rect scaledBounds(const Rect& r, double sx, double sy) {
  return {int(std::floor(r.left * sx)), int(std::floor(r.top * sy)), int(std::ceil(r.right * sx)),
          int(std::ceil(r.bottom * sy))};
}

// Catmull-Rom style cubic convolution with Photoshop's sharper-than-B-spline constant.
double cubicWeight(double t) {
  constexpr double a = -0.5;
  t = std::fabs(t);
  if (t < 1.0) return ((a + 2.0) * t - (a + 3.0)) * t * t + 1.0;
  if (t < 2.0) return ((a * t - 5.0 * a) * t + 8.0 * a) * t - 4.0 * a;
  return 0.0;
}

struct Taps {
  std::vector<int> first;      // first source index per destination index
  std::vector<double> weights;  // `count` weights per destination index
  int count = 0;
};

// Filter taps along one axis; when shrinking, the kernel widens so every source pixel counts.
Taps makeTaps(int dstBegin, int dstEnd, double scale, ResampleMethod method) {
  Taps taps;
  const bool nearest = method == ResampleMethod::NearestNeighbor || method == ResampleMethod::None;
  const bool linear = method == ResampleMethod::Bilinear;
  const double support = nearest ? 0.5 : linear ? 1.0 : 2.0;
  const double widen = scale < 1.0 ? 1.0 / scale : 1.0;
  taps.count = nearest ? 1 : int(std::ceil(support * widen)) * 2 + 1;
  const int n = dstEnd - dstBegin;
  taps.first.resize(std::size_t(n));
  taps.weights.assign(std::size_t(n) * taps.count, 0.0);
  for (int i = 0; i < n; ++i) {
    const double center = (dstBegin + i + 0.5) / scale - 0.5;
    if (nearest) {
      taps.first[std::size_t(i)] = int(std::floor(center + 0.5));
      taps.weights[std::size_t(i)] = 1.0;
      continue;
    }
    const int first = int(std::floor(center)) - (taps.count - 1) / 2;
    taps.first[std::size_t(i)] = first;
    double sum = 0.0;
    for (int k = 0; k < taps.count; ++k) {
      const double d = (first + k - center) / widen;
      const double w = linear ? std::max(0.0, 1.0 - std::fabs(d)) : cubicWeight(d);
      taps.weights[std::size_t(i) * taps.count + k] = w;
      sum += w;
    }
    if (sum != 0.0)
      for (int k = 0; k < taps.count; ++k) taps.weights[std::size_t(i) * taps.count + k] /= sum;
  }
  return taps;
}

}  // namespace

Raster resampleRaster(const Raster& source, double sx, double sy, ResampleMethod method) {
  if (source.empty()) return Raster();
  const Rect src = source.bounds();
  const Rect dst = scaledBounds(src, sx, sy);
  Raster out(dst);
  if (out.empty()) return out;
  const Taps tx = makeTaps(dst.left, dst.right, sx, method);
  const Taps ty = makeTaps(dst.top, dst.bottom, sy, method);

  // Horizontal pass into premultiplied doubles (rows of the source, columns of the result).
  const int w = dst.width(), h = src.height();
  std::vector<double> mid(std::size_t(w) * h * 4, 0.0);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = source.pixel(src.left, src.top + y);
    for (int x = 0; x < w; ++x) {
      double acc[4] = {0, 0, 0, 0};
      for (int k = 0; k < tx.count; ++k) {
        const int sxi = tx.first[std::size_t(x)] + k;
        if (sxi < src.left || sxi >= src.right) continue;
        const double wgt = tx.weights[std::size_t(x) * tx.count + k];
        const std::uint8_t* p = row + std::size_t(sxi - src.left) * 4;
        const double a = p[3] / 255.0;
        acc[0] += wgt * p[0] * a;
        acc[1] += wgt * p[1] * a;
        acc[2] += wgt * p[2] * a;
        acc[3] += wgt * a;
      }
      std::copy(acc, acc + 4, mid.begin() + (std::size_t(y) * w + x) * 4);
    }
  }
  // Vertical pass, back to straight 8-bit.
  std::uint8_t* d = out.mutableData();
  for (int y = 0; y < dst.height(); ++y) {
    for (int x = 0; x < w; ++x) {
      double acc[4] = {0, 0, 0, 0};
      for (int k = 0; k < ty.count; ++k) {
        const int syi = ty.first[std::size_t(y)] + k;
        if (syi < src.top || syi >= src.bottom) continue;
        const double wgt = ty.weights[std::size_t(y) * ty.count + k];
        const double* m = mid.data() + (std::size_t(syi - src.top) * w + x) * 4;
        for (int c = 0; c < 4; ++c) acc[c] += wgt * m[c];
      }
      std::uint8_t* o = d + (std::size_t(y) * w + x) * 4;
      const double a = std::clamp(acc[3], 0.0, 1.0);
      o[3] = std::uint8_t(std::lround(a * 255.0));
      if (o[3] == 0) {
        o[0] = o[1] = o[2] = 0;
        continue;
      }
      for (int c = 0; c < 3; ++c) o[c] = std::uint8_t(std::lround(std::clamp(acc[c] / a, 0.0, 255.0)));
    }
  }
  out.trim();
  return out;
}

Mask resampleMask(const Mask& source, double sx, double sy) {
  const Rect src = source.bounds();
  Mask out(scaledBounds(src, sx, sy), source.outside());
  for (int y = out.bounds().top; y < out.bounds().bottom; ++y) {
    std::uint8_t* row = out.mutableRow(y);
    const int syi = int(std::floor((y + 0.5) / sy));
    for (int x = out.bounds().left; x < out.bounds().right; ++x)
      row[x - out.bounds().left] = source.at(int(std::floor((x + 0.5) / sx)), syi);
  }
  return out;
}

}  // namespace engine
