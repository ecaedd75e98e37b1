#pragma once
// PackBits encoding of whole channels as a save writes them. Saving is dominated by this, so it
// finds runs a word at a time, takes the samples of interleaved pixels out one row at a time
// (every channel of a row in one pass), and leaves its output memory unwritten until it is used.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace formats {

// One channel's data as a layer channel stores it: the compression field (RLE), the 2-byte row
// sizes, then the rows. The merged image keeps all size tables before all rows, hence the parts.
class PackedChannel {
 public:
  PackedChannel() = default;
  PackedChannel(int width, int height);

  // Packs the next row of `width` samples.
  void addRow(const std::uint8_t* samples);

  std::span<const std::uint8_t> whole() const { return {data_.get(), end_}; }
  std::span<const std::uint8_t> sizeTable() const { return {data_.get() + 2, 2 * std::size_t(height_)}; }
  std::span<const std::uint8_t> rows() const {
    const std::size_t start = 2 + 2 * std::size_t(height_);
    return {data_.get() + start, end_ - start};
  }

 private:
  std::unique_ptr<std::uint8_t[]> data_;
  int width_ = 0;
  int height_ = 0;
  int row_ = 0;
  std::size_t end_ = 0;
};

// Samples of an interleaved 8-bit raster: `count` channels of every pixel of `pixelBytes`
// bytes, rows `rowBytes` apart.
struct InterleavedSamples {
  const std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::size_t pixelBytes = 4;
  std::size_t rowBytes = 0;
};

// Packs the listed channels (their offsets within a pixel) of `source`, one PackedChannel each.
void packChannels(const InterleavedSamples& source, std::span<const int> channels, std::span<PackedChannel> out);

// Packs colour channel `channel` of RGBA pixels blended over white by their alpha, which is
// how a flat reader shows a transparent merged image.
PackedChannel packOverWhite(const InterleavedSamples& source, int channel);

}  // namespace formats
