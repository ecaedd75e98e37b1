#include "formats/zip_codec.h"

#include "formats/byte_reader.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace formats {

bool inflateExactly(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(in.data());
  z.next_out = out.data();
  std::size_t inLeft = in.size(), outLeft = out.size();
  int status = Z_OK;
  // zlib counts in 32-bit units; feed it in slices so large channels are fine.
  while (status == Z_OK && outLeft > 0) {
    const uInt inSlice = uInt(std::min<std::size_t>(inLeft, UINT_MAX));
    const uInt outSlice = uInt(std::min<std::size_t>(outLeft, UINT_MAX));
    z.avail_in = inSlice;
    z.avail_out = outSlice;
    status = inflate(&z, Z_NO_FLUSH);
    const std::size_t consumed = inSlice - z.avail_in, produced = outSlice - z.avail_out;
    inLeft -= consumed;
    outLeft -= produced;
    if (status == Z_BUF_ERROR && (consumed || produced)) status = Z_OK;
  }
  inflateEnd(&z);
  return outLeft == 0 && (status == Z_OK || status == Z_STREAM_END);
}

void undoPrediction(std::span<std::uint8_t> data, int width, int rows, int depth) {
  const std::size_t w = std::size_t(width);
  if (depth == 16) {
    for (int y = 0; y < rows; ++y) {
      std::uint8_t* row = data.data() + std::size_t(y) * w * 2;
      std::uint16_t prev = loadU16(row);
      for (std::size_t x = 1; x < w; ++x) {
        prev = std::uint16_t(prev + loadU16(&row[2 * x]));
        row[2 * x] = std::uint8_t(prev >> 8);
        row[2 * x + 1] = std::uint8_t(prev);
      }
    }
  } else if (depth == 32) {
    std::vector<std::uint8_t> planes(w * 4);
    for (int y = 0; y < rows; ++y) {
      std::uint8_t* row = data.data() + std::size_t(y) * w * 4;
      for (std::size_t i = 1; i < w * 4; ++i) row[i] = std::uint8_t(row[i] + row[i - 1]);
      std::memcpy(planes.data(), row, w * 4);
      for (std::size_t x = 0; x < w; ++x)
        for (std::size_t b = 0; b < 4; ++b) row[x * 4 + b] = planes[b * w + x];
    }
  } else {
    for (int y = 0; y < rows; ++y) {
      std::uint8_t* row = data.data() + std::size_t(y) * w;
      for (std::size_t x = 1; x < w; ++x) row[x] = std::uint8_t(row[x] + row[x - 1]);
    }
  }
}

void applyPrediction(std::span<std::uint8_t> data, int width, int rows) {
  const std::size_t w = std::size_t(width);
  for (int y = 0; y < rows; ++y) {
    std::uint8_t* row = data.data() + std::size_t(y) * w;
    for (std::size_t x = w; x-- > 1;) row[x] = std::uint8_t(row[x] - row[x - 1]);
  }
}

std::vector<std::uint8_t> deflateBytes(std::span<const std::uint8_t> in) {
  uLongf bound = compressBound(uLong(in.size()));
  std::vector<std::uint8_t> out(bound);
  if (compress2(out.data(), &bound, in.data(), uLong(in.size()), Z_DEFAULT_COMPRESSION) != Z_OK) return {};
  out.resize(bound);
  return out;
}

}  // namespace formats
