#pragma once
// An 8-bit coverage mask over part of a document (a selection, a layer mask), copy-on-write like
// Raster. Pixels outside the bounds have the mask's outside value.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/geometry.h"
#include "engine/pixel_memory.h"

namespace engine {

class Mask {
 public:
  Mask() = default;
  explicit Mask(const Rect& bounds, std::uint8_t outside = 0);

  const Rect& bounds() const { return bounds_; }
  std::uint8_t outside() const { return outside_; }
  void setOutside(std::uint8_t v) { outside_ = v; }
  // A selection is empty when nothing is covered anywhere.
  bool isEmpty() const;

  std::uint8_t at(int x, int y) const {
    return bounds_.contains(x, y) ? (*data_)[std::size_t(y - bounds_.top) * bounds_.width() + (x - bounds_.left)]
                                  : outside_;
  }
  const std::uint8_t* row(int y) const {
    return data_->data() + std::size_t(y - bounds_.top) * bounds_.width();
  }
  std::uint8_t* mutableRow(int y);
  const std::uint8_t* data() const { return data_ ? data_->data() : nullptr; }
  std::uint8_t* mutableData();

  // Smallest rectangle that holds every covered pixel (outside value 0 assumed).
  Rect coveredBounds() const;
  void translate(int dx, int dy) { bounds_ = bounds_.translated(dx, dy); }
  void clip(const Rect& area);
  void cover(const Rect& area);
  void invert();

 private:
  Rect bounds_;
  std::uint8_t outside_ = 0;
  std::shared_ptr<PixelBytes> data_;
};

// Selection rules: how a new region combines with the selection there is.
enum class SelectionType : int { Replace = 1, Extend = 2, Diminish = 3, Intersect = 4 };

// The pixels whose centres lie inside the polygon (non-zero winding), within `canvas`.
Mask rasterizePolygon(const std::vector<Point>& polygon, const Rect& canvas);
// Combines `region` into `selection` by the rule; the result is clipped to `canvas`.
Mask combineSelection(const Mask& selection, const Mask& region, SelectionType type, const Rect& canvas);

}  // namespace engine
