#include "engine/layer_effects_shape.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "engine/paint_span.h"

namespace engine::fx {

namespace {

// One box blur of radius r along a row of n values, in place. `tmp` holds the row as it was,
// with r values of `outside` on either side.
void boxRow(float* line, int n, int r, float outside, std::vector<float>& tmp) {
  tmp.resize(std::size_t(n + 2 * r + 1));
  float* padded = tmp.data();
  std::fill(padded, padded + r, outside);
  std::copy(line, line + n, padded + r);
  std::fill(padded + r + n, padded + n + 2 * r + 1, outside);
  const float scale = 1.0f / float(2 * r + 1);
  double sum = 0.0;
  for (int i = 0; i < 2 * r + 1; ++i) sum += padded[i];
  for (int i = 0; i < n; ++i) {
    line[i] = float(sum) * scale;
    sum += padded[i + 2 * r + 1] - padded[i];
  }
}

// The same blur down every column at once, a row at a time (the rows stay in cache, and the
// sums of neighbouring columns are worked out together). `was` receives the plane as it was.
void boxColumns(float* p, int w, int h, int r, float outside, std::vector<float>& was, std::vector<double>& sums) {
  was.assign(p, p + std::size_t(w) * std::size_t(h));
  const auto in = [&](int y) { return y >= 0 && y < h ? was.data() + std::size_t(y) * std::size_t(w) : nullptr; };
  sums.assign(std::size_t(w), 0.0);
  for (int y = -r; y <= r; ++y) {
    const float* s = in(y);
    for (int x = 0; x < w; ++x) sums[std::size_t(x)] += s ? s[x] : outside;
  }
  const float scale = 1.0f / float(2 * r + 1);
  for (int y = 0; y < h; ++y) {
    float* d = p + std::size_t(y) * std::size_t(w);
    for (int x = 0; x < w; ++x) d[x] = float(sums[std::size_t(x)]) * scale;
    const float *enter = in(y + r + 1), *leave = in(y - r);
    double* sum = sums.data();
    if (enter && leave)
      for (int x = 0; x < w; ++x) sum[x] += enter[x] - leave[x];
    else
      for (int x = 0; x < w; ++x) sum[x] += (enter ? enter[x] : outside) - (leave ? leave[x] : outside);
  }
}

// The squared distances along a row to the nearest pixel that is (`toShape`) or is not in the
// shape, with the nearest one's position; a tie goes to the left. Infinite where there is none.
void rowDistances(const float* src, int n, bool toShape, float threshold, float* out, int* nearest) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  int last = -1;
  for (int x = 0; x < n; ++x) {
    if ((src[x] >= threshold) == toShape) last = x;
    out[x] = last < 0 ? kInf : float(x - last) * float(x - last);
    if (nearest) nearest[x] = last < 0 ? 0 : last;
  }
  int next = -1;
  for (int x = n - 1; x >= 0; --x) {
    if ((src[x] >= threshold) == toShape) next = x;
    if (next < 0) continue;
    const float d = float(next - x) * float(next - x);
    if (d < out[x]) {
      out[x] = d;
      if (nearest) nearest[x] = next;
    }
  }
}

// Squared distances along one line (the lower envelope of parabolas).
void distanceLine(const float* f, int n, float* out, std::vector<int>& v, std::vector<float>& z, int* nearest = nullptr) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  v.resize(std::size_t(n));
  z.resize(std::size_t(n) + 1);
  int k = -1;
  for (int q = 0; q < n; ++q) {
    if (f[q] == kInf) continue;
    float s = -kInf;
    while (k >= 0) {
      const int p = v[std::size_t(k)];
      s = ((f[q] + float(q) * float(q)) - (f[p] + float(p) * float(p))) / float(2 * q - 2 * p);
      if (s > z[std::size_t(k)]) break;
      --k;
    }
    ++k;
    v[std::size_t(k)] = q;
    z[std::size_t(k)] = k == 0 ? -kInf : s;
    z[std::size_t(k) + 1] = kInf;
  }
  if (k < 0) {
    std::fill(out, out + n, kInf);
    return;
  }
  int j = 0;
  for (int q = 0; q < n; ++q) {
    while (z[std::size_t(j) + 1] < float(q)) ++j;
    const float d = float(q - v[std::size_t(j)]);
    out[q] = d * d + f[v[std::size_t(j)]];
    if (nearest) nearest[q] = v[std::size_t(j)];
  }
}

}  // namespace

Plane alphaOf(const Raster& source, const Rect& area) {
  Plane p(area);
  const Rect both = area.intersected(source.bounds());
  for (int y = both.top; y < both.bottom; ++y) {
    const std::uint8_t* s = source.pixel(both.left, y);
    float* d = p.row(y) + (both.left - area.left);
    for (int x = 0; x < both.width(); ++x) d[x] = float(s[4 * x + 3]) * (1.0f / 255.0f);
  }
  return p;
}

Plane coverageOf(const Mask& mask, const Rect& area) {
  Plane p(area);
  std::vector<std::uint8_t> row(std::size_t(area.width()));
  for (int y = area.top; y < area.bottom; ++y) {
    paint::maskRow(mask, y, area.left, area.width(), row.data());
    float* d = p.row(y);
    for (int x = 0; x < area.width(); ++x) d[x] = float(row[std::size_t(x)]) * (1.0f / 255.0f);
  }
  return p;
}

Plane shifted(const Plane& p, int dx, int dy, float outside) {
  Plane out(p.area, outside);
  const Rect moved = p.area.translated(dx, dy).intersected(p.area);
  for (int y = moved.top; y < moved.bottom; ++y) {
    const float* s = p.row(y - dy) + (moved.left - dx - p.area.left);
    std::copy(s, s + moved.width(), out.row(y) + (moved.left - p.area.left));
  }
  return out;
}

void invert(Plane& p) {
  for (float& x : p.v) x = 1.0f - x;
}

void multiply(Plane& a, const Plane& b) {
  for (std::size_t i = 0; i < a.v.size(); ++i) a.v[i] *= b.v[i];
}

void multiplyInverse(Plane& a, const Plane& b, float strength) {
  for (std::size_t i = 0; i < a.v.size(); ++i) a.v[i] *= 1.0f - strength * b.v[i];
}

namespace {

// Three box radii whose blurs together come close to a Gaussian of the size's softness.
std::array<int, 3> boxRadii(double size) {
  const double sigma = size * kSoftnessPerSize;
  const double ideal = std::sqrt(4.0 * sigma * sigma + 1.0);  // the width of three equal boxes
  int lower = std::max(1, int(ideal));
  if (lower % 2 == 0) --lower;
  const int lowerCount = int(std::lround((12.0 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9.0) / (-4.0 * lower - 4.0)));
  std::array<int, 3> radii{};
  for (int i = 0; i < 3; ++i) radii[std::size_t(i)] = (i < lowerCount ? lower : lower + 2) / 2;
  return radii;
}

}  // namespace

int blurReach(double size) {
  if (!(size > 0.0)) return 0;
  const std::array<int, 3> r = boxRadii(std::min(size, 4000.0));
  return r[0] + r[1] + r[2];
}

void blur(Plane& p, double size, float outside) {
  if (!(size > 0.0) || p.area.empty()) return;
  const int w = p.area.width(), h = p.area.height();
  std::vector<float> tmp;
  std::vector<double> sums;
  for (int r : boxRadii(std::min(size, 4000.0))) {
    if (r <= 0) continue;
    for (int y = 0; y < h; ++y) boxRow(p.v.data() + std::size_t(y) * std::size_t(w), w, r, outside, tmp);
    boxColumns(p.v.data(), w, h, r, outside, tmp, sums);
  }
}

Plane distances(const Plane& p, bool toShape, float threshold, std::vector<int>* nearest) {
  const int w = p.area.width(), h = p.area.height();
  Plane out(p.area);
  std::vector<float> f(std::size_t(std::max(w, h))), line(f.size());
  std::vector<int> v, columnSite(nearest ? std::size_t(h) : 0), rowSite(nearest ? p.v.size() : 0);
  std::vector<float> z;
  for (int y = 0; y < h; ++y) {
    const std::size_t at = std::size_t(y) * std::size_t(w);
    rowDistances(p.v.data() + at, w, toShape, threshold, out.v.data() + at, nearest ? rowSite.data() + at : nullptr);
  }
  if (nearest) nearest->assign(p.v.size(), 0);
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) f[std::size_t(y)] = out.v[std::size_t(y) * std::size_t(w) + std::size_t(x)];
    distanceLine(f.data(), h, line.data(), v, z, nearest ? columnSite.data() : nullptr);
    for (int y = 0; y < h; ++y) {
      const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
      out.v[i] = std::sqrt(line[std::size_t(y)]);
      if (nearest) {
        const int row = columnSite[std::size_t(y)] * w;
        (*nearest)[i] = row + rowSite[std::size_t(row) + std::size_t(x)];
      }
    }
  }
  // Beyond the area everything counts as outside the shape: distance to the area's border.
  if (!toShape) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        float& d = out.v[std::size_t(y) * std::size_t(w) + std::size_t(x)];
        d = std::min(d, float(std::min({x + 1, y + 1, w - x, h - y})));
      }
  }
  return out;
}

Plane distancesToOutsideEdge(const Plane& shape) {
  std::vector<int> nearest;
  Plane d = distances(shape, false, 1.0f - kCovered, &nearest);
  const int w = shape.area.width();
  for (std::size_t i = 0; i < d.v.size(); ++i) {
    if (!std::isfinite(d.v[i])) continue;
    const int site = nearest[i];
    const int dx = int(i % std::size_t(w)) - site % w, dy = int(i / std::size_t(w)) - site / w;
    if (d.v[i] * d.v[i] + 0.5f < float(dx * dx + dy * dy)) continue;  // the area's border is nearer
    d.v[i] += std::clamp(shape.v[std::size_t(site)], 0.0f, 1.0f);
  }
  return d;
}

Plane distancesToEdge(const Plane& shape) {
  std::vector<int> nearest;
  Plane d = distances(shape, true, kCovered, &nearest);
  for (std::size_t i = 0; i < d.v.size(); ++i)
    if (d.v[i] > 0.0f && std::isfinite(d.v[i])) d.v[i] += 1.0f - std::min(1.0f, shape.v[std::size_t(nearest[i])]);
  return d;
}

void dilate(Plane& p, double by) {
  if (!(by > 0.0)) return;
  const Plane d = distances(p, true);
  for (std::size_t i = 0; i < p.v.size(); ++i)
    p.v[i] = std::max(p.v[i], std::clamp(float(by) + 1.0f - d.v[i], 0.0f, 1.0f));
}

void erode(Plane& p, double by) {
  if (!(by > 0.0)) return;
  const Plane d = distances(p, false);
  for (std::size_t i = 0; i < p.v.size(); ++i)
    p.v[i] = std::min(p.v[i], std::clamp(d.v[i] - float(by), 0.0f, 1.0f));
}

}  // namespace engine::fx
