#include "formats/rle_encoder.h"

#include <vector>

#include "formats/packbits.h"

namespace formats {

PackedChannel::PackedChannel(int width, int height) : width_(width), height_(height) {
  const std::size_t table = 2 + 2 * std::size_t(height);
  data_ = std::make_unique_for_overwrite<std::uint8_t[]>(table + std::size_t(height) * packBitsBound(std::size_t(width)));
  data_[0] = 0;
  data_[1] = 1;  // RLE
  end_ = table;
}

void PackedChannel::addRow(const std::uint8_t* samples) {
  const std::size_t n = packBitsRow(samples, std::size_t(width_), data_.get() + end_);
  // A row of at most 30000 bytes packs into less than 32 KB, so the 2-byte size always fits.
  data_[2 + 2 * std::size_t(row_)] = std::uint8_t(n >> 8);
  data_[3 + 2 * std::size_t(row_)] = std::uint8_t(n);
  ++row_;
  end_ += n;
}

namespace {

// Takes channel `offset` of `width` pixels of `Step` bytes out into `row`. The step is a constant
// so that the compiler can turn the loop into vector shuffles.
template <std::size_t Step>
void takeChannel(const std::uint8_t* pixels, int offset, std::size_t width, std::uint8_t* row) {
  const std::uint8_t* s = pixels + offset;
  for (std::size_t x = 0; x < width; ++x) row[x] = s[x * Step];
}

}  // namespace

void packChannels(const InterleavedSamples& source, std::span<const int> channels, std::span<PackedChannel> out) {
  const std::size_t w = std::size_t(source.width), count = channels.size();
  for (std::size_t c = 0; c < count; ++c) out[c] = PackedChannel(source.width, source.height);
  std::vector<std::uint8_t> rows(w * count);
  for (int y = 0; y < source.height; ++y) {
    const std::uint8_t* p = source.pixels + std::size_t(y) * source.rowBytes;
    for (std::size_t c = 0; c < count; ++c) {
      std::uint8_t* row = rows.data() + c * w;
      if (source.pixelBytes == 4) {
        takeChannel<4>(p, channels[c], w, row);
      } else if (source.pixelBytes == 1) {
        takeChannel<1>(p, channels[c], w, row);
      } else {
        for (std::size_t x = 0; x < w; ++x) row[x] = p[x * source.pixelBytes + std::size_t(channels[c])];
      }
    }
    for (std::size_t c = 0; c < count; ++c) out[c].addRow(rows.data() + c * w);
  }
}

PackedChannel packOverWhite(const InterleavedSamples& source, int channel) {
  const std::size_t w = std::size_t(source.width);
  PackedChannel out(source.width, source.height);
  std::vector<std::uint8_t> row(w);
  for (int y = 0; y < source.height; ++y) {
    const std::uint8_t* p = source.pixels + std::size_t(y) * source.rowBytes;
    for (std::size_t x = 0; x < w; ++x) {
      const int a = p[x * source.pixelBytes + 3], v = p[x * source.pixelBytes + std::size_t(channel)];
      row[x] = std::uint8_t((v * a + 255 * (255 - a) + 127) / 255);
    }
    out.addRow(row.data());
  }
  return out;
}

}  // namespace formats
