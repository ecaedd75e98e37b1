#include "engine/vector_mask.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace engine {

namespace {

struct Pt {
  double x;
  double y;
};

struct Knot {
  Pt before, anchor, after;
};

struct Subpath {
  int operation = 1;  // as PathRecord::operation
  std::vector<Knot> knots;
};

double fromFixed(std::int32_t v) { return double(v) / double(1 << 24); }

// The path's subpaths in pixels of `canvas`. The codec only lets through paths whose knots
// follow a length record that counts them.
std::vector<Subpath> subpathsOf(const VectorPath& path, const Rect& canvas) {
  std::vector<Subpath> out;
  for (const PathRecord& r : path.records) {
    if (r.isLength()) {
      out.push_back({r.operation, {}});
    } else if (r.isKnot() && !out.empty()) {
      const auto point = [&](int i) {
        return Pt{fromFixed(r.knot[std::size_t(2 * i + 1)]) * canvas.width(), fromFixed(r.knot[std::size_t(2 * i)]) * canvas.height()};
      };
      out.back().knots.push_back({point(0), point(1), point(2)});
    }
  }
  return out;
}

// The initial fill record says the path starts from everything (a mask that reveals all). A
// first subpath that adds to it replaces that start, as drawing a shape into a reveal-all mask
// does; one that subtracts, intersects or excludes works on it.
bool startsFull(const VectorPath& path, const std::vector<Subpath>& subpaths) {
  const bool revealsAll = std::any_of(path.records.begin(), path.records.end(), [](const PathRecord& r) {
    return r.type == PathRecord::InitialFill && r.initialFill != 0;
  });
  const auto first = std::find_if(subpaths.begin(), subpaths.end(), [](const Subpath& s) { return s.knots.size() >= 2; });
  return revealsAll && (first == subpaths.end() || first->operation != 1);
}

// Coverage of polygons by exact area: each edge adds its signed area to the cells it crosses,
// and a running sum along each row gives the winding coverage of every pixel.
class AreaRasterizer {
 public:
  AreaRasterizer(int width, int height) : w_(width), h_(height), acc_(std::size_t(width + 2) * height, 0.0f) {}

  void line(Pt a, Pt b) {
    // Pieces left of the area still count for every pixel to their right: they are moved onto
    // its left edge. Pieces right of it count for nothing and go to the spare column.
    double cuts[4] = {0.0, 1.0, 1.0, 1.0};
    int n = 1;
    for (const double edge : {0.0, double(w_)}) {
      if ((a.x - edge) * (b.x - edge) < 0.0) cuts[n++] = (edge - a.x) / (b.x - a.x);
    }
    if (n == 3 && cuts[1] > cuts[2]) std::swap(cuts[1], cuts[2]);
    cuts[n] = 1.0;
    for (int i = 0; i < n; ++i) {
      const Pt p{a.x + (b.x - a.x) * cuts[i], a.y + (b.y - a.y) * cuts[i]};
      const Pt q{a.x + (b.x - a.x) * cuts[i + 1], a.y + (b.y - a.y) * cuts[i + 1]};
      lineInside(std::clamp(p.x, 0.0, double(w_)), p.y, std::clamp(q.x, 0.0, double(w_)), q.y);
    }
  }

  // Coverage 0..1 per pixel, row by row.
  std::vector<float> coverage() const {
    std::vector<float> out(std::size_t(w_) * h_);
    for (int y = 0; y < h_; ++y) {
      float sum = 0.0f;
      const float* row = acc_.data() + std::size_t(y) * (w_ + 2);
      for (int x = 0; x < w_; ++x) {
        sum += row[x];
        out[std::size_t(y) * w_ + x] = std::min(1.0f, std::fabs(sum));
      }
    }
    return out;
  }

 private:
  void lineInside(double x0, double y0, double x1, double y1) {
    if (y0 == y1) return;
    float dir = 1.0f;
    if (y0 > y1) {
      std::swap(x0, x1);
      std::swap(y0, y1);
      dir = -1.0f;
    }
    const double dxdy = (x1 - x0) / (y1 - y0);
    double x = x0;
    if (y0 < 0.0) x -= y0 * dxdy;
    const int yBegin = std::max(0, int(std::floor(y0)));
    const int yEnd = std::min(h_, int(std::ceil(y1)));
    for (int y = yBegin; y < yEnd; ++y) {
      float* row = acc_.data() + std::size_t(y) * (w_ + 2);
      const double dy = std::min(double(y + 1), y1) - std::max(double(y), y0);
      const double xNext = x + dxdy * dy;
      const float d = float(dy) * dir;
      const double xa = std::min(x, xNext), xb = std::max(x, xNext);
      const double xaFloor = std::floor(xa), xbCeil = std::ceil(xb);
      const int ia = int(xaFloor), ib = int(xbCeil);
      if (ib <= ia + 1) {
        const float xm = float(0.5 * (x + xNext) - xaFloor);
        row[ia] += d - d * xm;
        row[ia + 1] += d * xm;
      } else {
        // The edge crosses several cells: triangle areas at both ends, even steps between.
        const float s = float(1.0 / (xb - xa));
        const float xaf = float(xa - xaFloor);
        const float a0 = 0.5f * s * (1.0f - xaf) * (1.0f - xaf);
        const float xbf = float(xb - xbCeil + 1.0);
        const float am = 0.5f * s * xbf * xbf;
        row[ia] += d * a0;
        if (ib == ia + 2) {
          row[ia + 1] += d * (1.0f - a0 - am);
        } else {
          const float a1 = s * (1.5f - xaf);
          row[ia + 1] += d * (a1 - a0);
          for (int i = ia + 2; i < ib - 1; ++i) row[i] += d * s;
          const float a2 = a1 + float(ib - ia - 3) * s;
          row[ib - 1] += d * (1.0f - a2 - am);
        }
        row[ib] += d * am;
      }
      x = xNext;
    }
  }

  int w_, h_;
  std::vector<float> acc_;
};

// A cubic Bezier as line segments, finer where it bends more (within about 0.1 pixel).
void addCurve(AreaRasterizer& r, Pt p0, Pt p1, Pt p2, Pt p3) {
  const double ddx = std::max(std::fabs(p0.x - 2 * p1.x + p2.x), std::fabs(p1.x - 2 * p2.x + p3.x));
  const double ddy = std::max(std::fabs(p0.y - 2 * p1.y + p2.y), std::fabs(p1.y - 2 * p2.y + p3.y));
  const int steps = std::clamp(int(std::ceil(std::sqrt(std::hypot(ddx, ddy) * 7.5))), 1, 256);
  Pt last = p0;
  for (int i = 1; i <= steps; ++i) {
    const double t = double(i) / steps, u = 1.0 - t;
    const Pt p{u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
               u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y};
    r.line(last, p);
    last = p;
  }
}

std::vector<float> drawSubpath(const Subpath& s, const Rect& area) {
  AreaRasterizer r(area.width(), area.height());
  const auto local = [&](Pt p) { return Pt{p.x - area.left, p.y - area.top}; };
  const std::size_t n = s.knots.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Knot& a = s.knots[i];
    const Knot& b = s.knots[(i + 1) % n];  // a filled path is closed, open or not
    addCurve(r, local(a.anchor), local(a.after), local(b.before), local(b.anchor));
  }
  return r.coverage();
}

}  // namespace

bool hasVectorMask(const LayerNode& node) {
  return node.vectorMask && !(node.vectorMask->flags & VectorPath::kDisabled);
}

std::optional<Mask> renderVectorMask(const LayerNode& node, const Rect& canvas, const Rect& area) {
  if (!hasVectorMask(node) || canvas.empty()) return std::nullopt;
  const VectorPath& path = *node.vectorMask;
  const std::vector<Subpath> subpaths = subpathsOf(path, canvas);
  const bool invert = path.flags & VectorPath::kInverted, startFull = startsFull(path, subpaths);
  Mask out(area, std::uint8_t(startFull != invert ? 255 : 0));
  if (area.empty()) return out;
  std::vector<float> c(std::size_t(area.area()), startFull ? 1.0f : 0.0f);
  for (const Subpath& s : subpaths) {
    if (s.knots.size() < 2) continue;
    const std::vector<float> shape = drawSubpath(s, area);
    for (std::size_t i = 0; i < c.size(); ++i) {
      const float a = c[i], b = shape[i];
      switch (s.operation) {
        case 0: case -1: c[i] = a + b - 2.0f * a * b; break;  // older files (-1) fill by the even-odd rule
        case 2: c[i] = a * (1.0f - b); break;
        case 3: c[i] = a * b; break;
        default: c[i] = a + b - a * b; break;
      }
    }
  }
  std::uint8_t* m = out.mutableData();
  for (std::size_t i = 0; i < c.size(); ++i) {
    const float v = invert ? 1.0f - c[i] : c[i];
    m[i] = std::uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
  }
  return out;
}

namespace {

// The coordinates (along one axis) where a cubic Bezier turns: the roots in (0, 1) of its
// derivative.
void addTurns(double p0, double p1, double p2, double p3, std::vector<double>& ts) {
  const double a = p3 - 3 * p2 + 3 * p1 - p0, b = 2 * (p2 - 2 * p1 + p0), c = p1 - p0;
  if (std::fabs(a) < 1e-12) {
    if (std::fabs(b) > 1e-12) ts.push_back(-c / b);
    return;
  }
  const double d = b * b - 4 * a * c;
  if (d < 0) return;
  ts.push_back((-b + std::sqrt(d)) / (2 * a));
  ts.push_back((-b - std::sqrt(d)) / (2 * a));
}

struct Extent {
  double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
  void add(Pt p) { left = std::min(left, p.x), top = std::min(top, p.y), right = std::max(right, p.x), bottom = std::max(bottom, p.y); }
};

// The exact extent of a closed subpath, its curves' bulges included.
Extent extentOf(const Subpath& s) {
  Extent e;
  const std::size_t n = s.knots.size();
  std::vector<double> ts;
  for (std::size_t i = 0; i < n; ++i) {
    const Pt p0 = s.knots[i].anchor, p1 = s.knots[i].after, p2 = s.knots[(i + 1) % n].before, p3 = s.knots[(i + 1) % n].anchor;
    e.add(p0);
    ts.clear();
    addTurns(p0.x, p1.x, p2.x, p3.x, ts);
    addTurns(p0.y, p1.y, p2.y, p3.y, ts);
    for (const double t : ts) {
      if (!(t > 0.0 && t < 1.0)) continue;
      const double u = 1.0 - t;
      e.add({u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
             u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y});
    }
  }
  return e;
}

}  // namespace

std::optional<RectF> vectorShapeBox(const LayerNode& node, const Rect& canvas) {
  if (!hasVectorMask(node) || canvas.empty()) return std::nullopt;
  const VectorPath& path = *node.vectorMask;
  const std::vector<Subpath> subpaths = subpathsOf(path, canvas);
  if ((path.flags & VectorPath::kInverted) || startsFull(path, subpaths)) return std::nullopt;
  Extent box;
  for (const Subpath& s : subpaths) {
    if (s.knots.size() < 2 || s.operation == 2) continue;  // what a subpath takes away leaves the box as it is
    const Extent e = extentOf(s);
    if (s.operation == 3) {
      box = {std::max(box.left, e.left), std::max(box.top, e.top), std::min(box.right, e.right), std::min(box.bottom, e.bottom)};
    } else {
      box.add({e.left, e.top});
      box.add({e.right, e.bottom});
    }
  }
  const RectF out{box.left, box.top, box.right, box.bottom};
  if (out.empty()) return std::nullopt;
  return out;
}

bool pixelsShowVectorMask(const LayerNode& node) {
  if (node.isSet || node.pixels.empty()) return false;
  return node.kind == LayerKind::SolidFill || node.kind == LayerKind::GradientFill ||
         node.kind == LayerKind::PatternFill || node.vectorContent;
}

namespace {

// One coordinate, relative to `fromSize`, moved by `delta` pixels, relative to `toSize`.
std::int32_t movedCoordinate(std::int32_t v, int fromSize, int toSize, int delta) {
  const double pixels = fromFixed(v) * fromSize + delta;
  const double relative = std::clamp(pixels / toSize, -127.0, 127.0);  // 8.24 fixed point range
  return std::int32_t(std::lround(relative * double(1 << 24)));
}

}  // namespace

void moveVectorMask(LayerNode& node, const Rect& from, const Rect& to, int dx, int dy) {
  if (from.empty() || to.empty() || !node.vectorMask) return;
  if (from == to && dx == 0 && dy == 0) return;
  auto moved = std::make_shared<VectorPath>(*node.vectorMask);
  for (PathRecord& r : moved->records) {
    if (!r.isKnot()) continue;
    for (std::size_t i = 0; i < 6; i += 2) {
      r.knot[i] = movedCoordinate(r.knot[i], from.height(), to.height(), dy);
      r.knot[i + 1] = movedCoordinate(r.knot[i + 1], from.width(), to.width(), dx);
    }
  }
  node.vectorMask = std::move(moved);
}

void removeVectorMask(LayerNode& node) {
  node.vectorMask.reset();
  std::erase_if(node.extraBlocks, [](const TaggedBlock& b) { return b.tie == BlockTie::VectorMask; });
}

}  // namespace engine
