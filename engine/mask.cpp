#include "engine/mask.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/errors.h"

namespace engine {

Mask::Mask(const Rect& bounds, std::uint8_t outside) : bounds_(bounds.empty() ? Rect{} : bounds), outside_(outside) {
  if (!bounds_.empty()) {
    checkPixelArea(bounds_.width(), bounds_.height());
    data_ = std::make_shared<PixelBytes>(std::size_t(bounds_.area()));
  }
}

bool Mask::isEmpty() const {
  if (outside_ != 0) return false;
  if (!data_) return true;
  return std::all_of(data_->begin(), data_->end(), [](std::uint8_t v) { return v == 0; });
}

std::uint8_t* Mask::mutableData() {
  if (!data_) return nullptr;
  if (data_.use_count() > 1) data_ = std::make_shared<PixelBytes>(*data_);
  return data_->data();
}

std::uint8_t* Mask::mutableRow(int y) { return mutableData() + std::size_t(y - bounds_.top) * bounds_.width(); }

Rect Mask::coveredBounds() const {
  int minX = bounds_.right, minY = bounds_.bottom, maxX = bounds_.left - 1, maxY = bounds_.top - 1;
  for (int y = bounds_.top; y < bounds_.bottom; ++y) {
    const std::uint8_t* r = row(y);
    for (int x = bounds_.left; x < bounds_.right; ++x) {
      if (!r[x - bounds_.left]) continue;
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = y;
    }
  }
  if (maxX < minX) return {};
  return {minX, minY, maxX + 1, maxY + 1};
}

void Mask::clip(const Rect& area) {
  const Rect kept = bounds_.intersected(area);
  if (kept == bounds_) return;
  Mask smaller(kept, outside_);
  for (int y = kept.top; y < kept.bottom; ++y)
    std::memcpy(smaller.mutableRow(y), row(y) + (kept.left - bounds_.left), kept.width());
  *this = std::move(smaller);
}

void Mask::cover(const Rect& area) {
  if (area.empty() || bounds_.contains(area)) return;
  const Rect grown = bounds_.united(area);
  Mask bigger(grown, outside_);
  if (outside_) std::fill(bigger.data_->begin(), bigger.data_->end(), outside_);
  for (int y = bounds_.top; y < bounds_.bottom; ++y)
    std::memcpy(bigger.mutableRow(y) + (bounds_.left - grown.left), row(y), bounds_.width());
  *this = std::move(bigger);
}

void Mask::invert() {
  outside_ = 255 - outside_;
  if (!data_) return;
  std::uint8_t* p = mutableData();
  for (std::size_t i = 0, n = data_->size(); i < n; ++i) p[i] = 255 - p[i];
}

Mask rasterizePolygon(const std::vector<Point>& polygon, const Rect& canvas) {
  if (polygon.size() < 3 || canvas.empty()) return Mask();
  double minX = polygon[0].x, maxX = minX, minY = polygon[0].y, maxY = minY;
  for (const Point& p : polygon) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) fail(ErrorCode::InvalidArgument, "a region point is not a number");
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  // Only pixels whose centre can be inside; clamp before converting to int.
  const auto clampTo = [](double v, int lo, int hi) { return int(std::clamp(v, double(lo), double(hi))); };
  Rect box{clampTo(std::floor(minX - 0.5), canvas.left, canvas.right), clampTo(std::floor(minY - 0.5), canvas.top, canvas.bottom),
           clampTo(std::ceil(maxX + 0.5), canvas.left, canvas.right), clampTo(std::ceil(maxY + 0.5), canvas.top, canvas.bottom)};
  box = box.intersected(canvas);
  Mask out(box);
  if (box.empty()) return out;
  std::vector<std::pair<double, int>> crossings;
  for (int y = box.top; y < box.bottom; ++y) {
    const double cy = y + 0.5;
    crossings.clear();
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      const Point& a = polygon[i];
      const Point& b = polygon[(i + 1) % polygon.size()];
      if ((a.y <= cy) == (b.y <= cy)) continue;  // edge does not span this row centre
      const double x = a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y);
      crossings.emplace_back(x, b.y > a.y ? 1 : -1);
    }
    std::sort(crossings.begin(), crossings.end());
    std::uint8_t* r = out.mutableRow(y);
    int winding = 0;
    for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].second;
      if (winding == 0) continue;
      // Pixel x is inside when its centre x + 0.5 lies in [from, to).
      const int from = std::max(box.left, int(std::ceil(crossings[i].first - 0.5)));
      const int to = std::min(box.right, int(std::ceil(crossings[i + 1].first - 0.5)));
      for (int x = from; x < to; ++x) r[x - box.left] = 255;
    }
  }
  return out;
}

Mask combineSelection(const Mask& selection, const Mask& region, SelectionType type, const Rect& canvas) {
  switch (type) {
    case SelectionType::Replace: {
      Mask out = region;
      out.clip(canvas);
      return out;
    }
    case SelectionType::Extend:
    case SelectionType::Diminish:
    case SelectionType::Intersect:
      break;
    default:
      fail(ErrorCode::InvalidArgument, "selection type " + std::to_string(int(type)) + " is not valid");
  }
  const Rect area = type == SelectionType::Intersect ? selection.bounds().intersected(region.bounds())
                    : type == SelectionType::Extend  ? selection.bounds().united(region.bounds())
                                                     : selection.bounds();
  Mask out(area.intersected(canvas));
  for (int y = out.bounds().top; y < out.bounds().bottom; ++y) {
    std::uint8_t* r = out.mutableRow(y);
    for (int x = out.bounds().left; x < out.bounds().right; ++x) {
      const int a = selection.at(x, y), b = region.at(x, y);
      int v = 0;
      if (type == SelectionType::Extend) v = std::max(a, b);
      else if (type == SelectionType::Diminish) v = a * (255 - b) / 255;
      else v = std::min(a, b);
      r[x - out.bounds().left] = std::uint8_t(v);
    }
  }
  return out;
}

}  // namespace engine
