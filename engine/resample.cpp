#include "engine/resample.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace engine {

namespace {

Rect scaledBounds(const Rect& r, double sx, double sy) {
  return {int(std::floor(r.left * sx)), int(std::floor(r.top * sy)), int(std::ceil(r.right * sx)),
          int(std::ceil(r.bottom * sy))};
}

// Catmull-Rom cubic convolution (a = -0.5): sharp, yet without the ringing of sharper kernels.
double cubicWeight(double t) {
  constexpr double a = -0.5;
  t = std::fabs(t);
  if (t < 1.0) return ((a + 2.0) * t - (a + 3.0)) * t * t + 1.0;
  if (t < 2.0) return ((a * t - 5.0 * a) * t + 8.0 * a) * t - 4.0 * a;
  return 0.0;
}

// For each destination index along one axis: `count` source indices (relative to the source's
// first pixel, -1 where the source has no pixel) and their weights, which sum to 1.
struct Taps {
  int count = 0;
  std::vector<int> index;
  std::vector<float> weight;
};

struct Axis {
  int dstBegin, dstEnd;    // destination pixels
  int srcBegin, srcEnd;    // source pixels
  int edgeBegin, edgeEnd;  // beyond these, positions repeat the edge pixel
};

Taps makeTaps(const Axis& axis, double scale, ResampleMethod method) {
  Taps taps;
  const int n = axis.dstEnd - axis.dstBegin;
  const bool nearest = method == ResampleMethod::NearestNeighbor || method == ResampleMethod::None;
  const bool linear = method == ResampleMethod::Bilinear;
  const double support = nearest ? 0.5 : linear ? 1.0 : 2.0;
  const double widen = scale < 1.0 ? 1.0 / scale : 1.0;
  // An unchanged axis maps each pixel to itself; only that keeps the pixels exactly.
  taps.count = nearest || scale == 1.0 ? 1 : int(std::ceil(support * widen)) * 2 + 1;
  taps.index.assign(std::size_t(n) * taps.count, -1);
  taps.weight.assign(std::size_t(n) * taps.count, 0.0f);
  const auto sourceIndex = [&](int position) {
    position = std::clamp(position, axis.edgeBegin, axis.edgeEnd - 1);
    return position >= axis.srcBegin && position < axis.srcEnd ? position - axis.srcBegin : -1;
  };
  std::vector<double> w(std::size_t(taps.count));
  for (int i = 0; i < n; ++i) {
    const double center = (axis.dstBegin + i + 0.5) / scale - 0.5;
    const std::size_t at = std::size_t(i) * taps.count;
    if (taps.count == 1) {
      taps.index[at] = sourceIndex(int(std::floor(center + 0.5)));
      taps.weight[at] = 1.0f;
      continue;
    }
    const int first = int(std::floor(center)) - (taps.count - 1) / 2;
    double sum = 0.0;
    for (int k = 0; k < taps.count; ++k) {
      const double d = (first + k - center) / widen;
      w[std::size_t(k)] = linear ? std::max(0.0, 1.0 - std::fabs(d)) : cubicWeight(d);
      sum += w[std::size_t(k)];
    }
    for (int k = 0; k < taps.count; ++k) {
      taps.index[at + k] = sourceIndex(first + k);
      taps.weight[at + k] = float(sum != 0.0 ? w[std::size_t(k)] / sum : 0.0);
    }
  }
  return taps;
}

// One pixel (four floats) per step, on separate pointers, so the compiler can use vector
// instructions for the inner loop of the pass. `n` is a multiple of 4.
void accumulateRow(float* __restrict acc, const float* __restrict row, float weight, std::size_t n) {
  for (std::size_t j = 0; j < n; j += 4) {
    acc[j] += weight * row[j];
    acc[j + 1] += weight * row[j + 1];
    acc[j + 2] += weight * row[j + 2];
    acc[j + 3] += weight * row[j + 3];
  }
}

std::uint8_t toByte(float v) { return std::uint8_t(std::clamp(v, 0.0f, 255.0f) + 0.5f); }

}  // namespace

Raster resampleRaster(const Raster& source, double sx, double sy, ResampleMethod method, const Rect& canvas) {
  if (source.empty()) return Raster();
  const Rect src = source.bounds();
  const Rect dst = scaledBounds(src, sx, sy);
  Raster out(dst);
  if (out.empty()) return out;
  constexpr int kFar = std::numeric_limits<int>::max() / 2;
  const bool edges = !canvas.empty();
  const Taps tx = makeTaps({dst.left, dst.right, src.left, src.right, edges ? canvas.left : -kFar, edges ? canvas.right : kFar},
                           sx, method);
  const Taps ty = makeTaps({dst.top, dst.bottom, src.top, src.bottom, edges ? canvas.top : -kFar, edges ? canvas.bottom : kFar},
                           sy, method);

  // Horizontal pass into premultiplied floats: colour x alpha (0..255) and alpha (0..1), one
  // row of the result's width per source row, made when a result row first needs it. The rows
  // one result row needs lie within ty.count neighbours, and the result rows move down through
  // the source, so a ring of that many rows holds them all.
  const int w = dst.width();
  const std::size_t rowFloats = std::size_t(w) * 4;
  const int ring = ty.count;
  std::vector<float> mid(rowFloats * std::size_t(ring));
  std::vector<int> ringHolds(std::size_t(ring), -1);
  const auto midRow = [&](int y) -> const float* {
    float* m = mid.data() + std::size_t(y % ring) * rowFloats;
    if (ringHolds[std::size_t(y % ring)] == y) return m;
    ringHolds[std::size_t(y % ring)] = y;
    std::fill(m, m + rowFloats, 0.0f);
    const std::uint8_t* row = source.pixel(src.left, src.top + y);
    for (int x = 0; x < w; ++x) {
      float* sum = m + std::size_t(x) * 4;
      for (int k = 0; k < tx.count; ++k) {
        const std::size_t t = std::size_t(x) * tx.count + k;
        const int i = tx.index[t];
        if (i < 0) continue;
        const std::uint8_t* p = row + std::size_t(i) * 4;
        const float a = tx.weight[t] * (p[3] * (1.0f / 255.0f));
        sum[0] += a * p[0];
        sum[1] += a * p[1];
        sum[2] += a * p[2];
        sum[3] += a;
      }
    }
    return m;
  };
  // Vertical pass row by row, back to straight 8-bit.
  std::vector<float> acc(std::size_t(w) * 4);
  std::uint8_t* d = out.mutableData();
  for (int y = 0; y < dst.height(); ++y) {
    std::fill(acc.begin(), acc.end(), 0.0f);
    for (int k = 0; k < ty.count; ++k) {
      const std::size_t t = std::size_t(y) * ty.count + k;
      const int i = ty.index[t];
      if (i < 0) continue;
      accumulateRow(acc.data(), midRow(i), ty.weight[t], acc.size());
    }
    std::uint8_t* o = d + std::size_t(y) * w * 4;
    for (int x = 0; x < w; ++x, o += 4) {
      const float* a = acc.data() + std::size_t(x) * 4;
      o[3] = toByte(a[3] * 255.0f);
      if (o[3] == 0) {
        o[0] = o[1] = o[2] = 0;
        continue;
      }
      const float unmultiply = 1.0f / a[3];
      for (int c = 0; c < 3; ++c) o[c] = toByte(a[c] * unmultiply);
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
