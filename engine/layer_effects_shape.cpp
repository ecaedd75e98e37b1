#include "engine/layer_effects_shape.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/paint_span.h"

namespace engine::fx {

namespace {

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

// The length of the shortest way to a pixel `dx`, `dy` away through steps to the 16 pixels
// around: knight's moves, then diagonal or straight steps for the rest.
float stepLength(int dx, int dy) {
  int a = std::abs(dx), b = std::abs(dy);
  if (a < b) std::swap(a, b);
  static const float kDiagonal = std::sqrt(2.0f), kKnight = std::sqrt(5.0f);
  return 2 * b <= a ? float(b) * kKnight + float(a - 2 * b) : float(a - b) * kKnight + float(2 * b - a) * kDiagonal;
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

// A box `width` pixels wide: pixels j - r + 1 .. j + r - 1 whole, and the end pixels j - r and
// j + r in part. A fractional width weighs both ends in part; an even one takes one end whole,
// the left one in a first pass and the right one in a second, so that two passes spread evenly.
struct Box {
  double width, ends;
  int r;
  bool even;
  explicit Box(double w) : width(w) {
    const double half = (w - 1.0) / 2.0;
    r = std::max(1, int(std::ceil(half - 1e-9)));
    even = std::fabs(w - std::round(w)) < 1e-9 && std::lround(w) % 2 == 0;
    ends = even ? 0.0 : 1.0 - (r - half);
  }
  // The weights of the left and right end pixels in the first or the second pass.
  double left(bool first) const { return even ? (first ? 1.0 : 0.0) : ends; }
  double right(bool first) const { return even ? (first ? 0.0 : 1.0) : ends; }
};

// Two passes of the box along each of the h rows of w, beyond which the plane is `outside`;
// the first pass runs far enough past the row's ends for the second.
void boxRowsTwice(float* p, int w, int h, const Box& box, float outside) {
  const int r = box.r, n = w + 4 * r;
  std::vector<double> line(static_cast<std::size_t>(n), double(outside)), once(line);
  const double scale = 1.0 / box.width;
  const auto pass = [&](const std::vector<double>& from, int j0, int j1, bool first, auto&& store) {
    const double wl = box.left(first), wr = box.right(first);
    double inner = 0.0;
    for (int i = j0 - r + 1; i <= j0 + r - 1; ++i) inner += from[std::size_t(i)];
    for (int j = j0; j < j1; ++j) {
      const double l = from[std::size_t(j - r)], rt = from[std::size_t(j + r)];
      store(j, (inner + wl * l + wr * rt) * scale);
      inner += rt - from[std::size_t(j - r + 1)];
    }
  };
  for (int y = 0; y < h; ++y) {
    float* row = p + std::size_t(y) * std::size_t(w);
    std::copy(row, row + w, line.begin() + 2 * r);
    pass(line, r, n - r, true, [&](int j, double v) { once[std::size_t(j)] = v; });
    pass(once, 2 * r, 2 * r + w, false, [&](int j, double v) { row[j - 2 * r] = float(v); });
  }
}

// Two passes of the box down the columns, all of a row's columns at once.
void boxColumnsTwice(float* p, int w, int h, const Box& box, float outside) {
  const int r = box.r;
  const std::size_t width = std::size_t(w);
  const std::vector<float> level(width, outside);
  std::vector<float> once((std::size_t(h) + 2 * std::size_t(r)) * width);  // rows -r .. h + r - 1
  std::vector<float> inner(width);  // in float, for twice the columns a step: the sums stay exact enough
  const float scale = float(1.0 / box.width);
  const auto pass = [&](auto&& from, int y0, int y1, bool first, auto&& to) {
    const float wl = float(box.left(first)) * scale, wr = float(box.right(first)) * scale;
    std::fill(inner.begin(), inner.end(), 0.0f);
    for (int i = y0 - r + 1; i <= y0 + r - 1; ++i) {
      const float* f = from(i);
      for (std::size_t x = 0; x < width; ++x) inner[x] += f[x];
    }
    for (int y = y0; y < y1; ++y) {
      const float *above = from(y - r), *below = from(y + r), *leaving = from(y - r + 1);
      float* out = to(y);
      for (std::size_t x = 0; x < width; ++x) {
        out[x] = inner[x] * scale + wl * above[x] + wr * below[x];
        inner[x] += below[x] - leaving[x];
      }
    }
  };
  const auto plane = [&](int y) { return y >= 0 && y < h ? p + std::size_t(y) * width : level.data(); };
  const auto blurred = [&](int y) { return once.data() + std::size_t(y + r) * width; };
  pass(plane, -r, h + r, true, blurred);
  pass([&](int y) -> const float* { return y >= -r && y < h + r ? blurred(y) : level.data(); }, 0, h, false,
       [&](int y) { return p + std::size_t(y) * width; });
}

}  // namespace

void blur(Plane& p, double size, float outside) {
  if (!(size > 1.0) || p.area.empty()) return;
  const Box box(std::min(size, 4000.0));
  boxRowsTwice(p.v.data(), p.area.width(), p.area.height(), box, outside);
  boxColumnsTwice(p.v.data(), p.area.width(), p.area.height(), box, outside);
}

int blurReach(double size) { return size > 1.0 ? 2 * Box(std::min(size, 4000.0)).r : 0; }

Plane distances(const Plane& p, bool toShape, float threshold, std::vector<int>* nearest) {
  const int w = p.area.width(), h = p.area.height();
  Plane out(p.area);
  std::vector<float> f(std::size_t(std::max(w, h))), line(f.size());
  std::vector<int> v, columnSite(static_cast<std::size_t>(h)), rowSite(p.v.size()), sites(nearest ? p.v.size() : 0);
  std::vector<float> z;
  // The nearest pixel by the straight line (rows, then columns), then the steps' way to it.
  for (int y = 0; y < h; ++y) {
    const std::size_t at = std::size_t(y) * std::size_t(w);
    rowDistances(p.v.data() + at, w, toShape, threshold, out.v.data() + at, rowSite.data() + at);
  }
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) f[std::size_t(y)] = out.v[std::size_t(y) * std::size_t(w) + std::size_t(x)];
    distanceLine(f.data(), h, line.data(), v, z, columnSite.data());
    for (int y = 0; y < h; ++y) {
      const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
      const int row = columnSite[std::size_t(y)], column = rowSite[std::size_t(row) * std::size_t(w) + std::size_t(x)];
      out.v[i] = std::isfinite(line[std::size_t(y)]) ? stepLength(x - column, y - row) : line[std::size_t(y)];
      if (nearest) sites[i] = row * w + column;
    }
  }
  if (nearest) *nearest = std::move(sites);
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
