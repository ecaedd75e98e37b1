#pragma once
// Copy-on-write RGBA pixels covering only a layer's own bounds: copies share one buffer until
// one of them writes, so history states and duplicated layers cost no pixel memory of their own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/geometry.h"
#include "engine/pixel_memory.h"

namespace engine {

class Raster {
 public:
  static constexpr int kChannels = 4;

  Raster() = default;
  // Transparent pixels covering `bounds`.
  explicit Raster(const Rect& bounds);
  // Every pixel of `bounds` set to one colour.
  static Raster filled(const Rect& bounds, Rgb color, std::uint8_t alpha = 255);

  const Rect& bounds() const { return bounds_; }
  bool empty() const { return bounds_.empty(); }
  int stride() const { return bounds_.width() * kChannels; }
  std::size_t byteSize() const { return data_ ? data_->size() : 0; }

  const std::uint8_t* data() const { return data_ ? data_->data() : nullptr; }
  // Detaches from any other holder of the buffer before handing out write access.
  std::uint8_t* mutableData();

  // Pixel at document coordinates; only valid inside bounds().
  const std::uint8_t* pixel(int x, int y) const {
    return data() + (std::size_t(y - bounds_.top) * bounds_.width() + (x - bounds_.left)) * kChannels;
  }
  std::uint8_t* mutablePixel(int x, int y) {
    return mutableData() + (std::size_t(y - bounds_.top) * bounds_.width() + (x - bounds_.left)) * kChannels;
  }
  // Alpha at any document position, 0 outside bounds.
  std::uint8_t alphaAt(int x, int y) const { return bounds_.contains(x, y) ? pixel(x, y)[3] : 0; }

  // Moves the pixels without touching them.
  void translate(int dx, int dy) { bounds_ = bounds_.translated(dx, dy); }
  // Grows (never shrinks) the covered area to include `area`, keeping the pixels where they are.
  void cover(const Rect& area);
  // Drops everything outside `area`.
  void clip(const Rect& area);
  // Shrinks the bounds to the pixels that are not fully transparent.
  void trim();

  // True when both rasters use the very same pixel buffer.
  bool sharesBufferWith(const Raster& other) const { return data_ && data_ == other.data_; }
  const void* bufferIdentity() const { return data_.get(); }

  bool samePixels(const Raster& other) const;

 private:
  Rect bounds_;
  std::shared_ptr<PixelBytes> data_;
};

// A linear-light value (0..1) as an 8-bit sRGB sample.
std::uint8_t srgbByte(float linear);
// An sRGB value (0..1) in linear light (0..1).
double srgbToLinear(double unit);

// CIE L*a*b* (L 0..100, relative to D50 as Photoshop's Lab is) as sRGB on the 0..255 scale,
// unrounded and within range.
ColorF labToSrgb(double l, double a, double b);
// An 8-bit sRGB colour as L*a*b* (r = L 0..100, g = a, b = b), the inverse of labToSrgb.
ColorF srgbToLab(const std::uint8_t* rgb);

}  // namespace engine
