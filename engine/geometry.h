#pragma once
// Pixel geometry shared by the engine: lengths are whole pixels, rectangles half-open.

#include <algorithm>
#include <cstdint>

namespace engine {

struct Point {
  double x = 0;
  double y = 0;
};

// [left, right) x [top, bottom) in document pixels; empty when either side has no extent.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static Rect fromSize(int width, int height) { return {0, 0, width, height}; }
  int width() const { return right > left ? right - left : 0; }
  int height() const { return bottom > top ? bottom - top : 0; }
  bool empty() const { return right <= left || bottom <= top; }
  std::int64_t area() const { return std::int64_t(width()) * height(); }
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool contains(const Rect& r) const {
    return r.empty() || (r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom);
  }
  Rect intersected(const Rect& r) const {
    Rect out{std::max(left, r.left), std::max(top, r.top), std::min(right, r.right), std::min(bottom, r.bottom)};
    return out.empty() ? Rect{} : out;
  }
  Rect united(const Rect& r) const {
    if (empty()) return r;
    if (r.empty()) return *this;
    return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right), std::max(bottom, r.bottom)};
  }
  Rect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  bool operator==(const Rect&) const = default;
};

// A rectangle with fractional edges, as a path's extent has; a pixel rectangle converts to one.
struct RectF {
  double left = 0, top = 0, right = 0, bottom = 0;
  RectF() = default;
  RectF(double l, double t, double r, double b) : left(l), top(t), right(r), bottom(b) {}
  RectF(const Rect& r) : left(r.left), top(r.top), right(r.right), bottom(r.bottom) {}  // NOLINT: a pixel box is one
  double width() const { return right > left ? right - left : 0.0; }
  double height() const { return bottom > top ? bottom - top : 0.0; }
  bool empty() const { return !(right > left && bottom > top); }
};

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

// A colour with fractional components on the 0..255 scale, as descriptors hold them.
struct ColorF {
  double r = 0, g = 0, b = 0;
  ColorF() = default;
  ColorF(double red, double green, double blue) : r(red), g(green), b(blue) {}
  ColorF(Rgb c) : r(c.r), g(c.g), b(c.b) {}  // NOLINT: every byte colour is one
};

}  // namespace engine
