#include "formats/pattern_blocks.h"

#include <cstring>

#include "formats/byte_reader.h"
#include "formats/channel_codec.h"
#include "formats/descriptor.h"
#include "formats/packbits.h"

namespace formats {

namespace {

constexpr int kMaxPatternSide = 4096;

struct Plane {
  std::vector<std::uint8_t> bytes;  // empty when the channel was not written
};

// One channel of the pattern's virtual memory array.
Plane readPlane(ByteReader& r, int width, int height) {
  Plane p;
  if (r.u32("a pattern channel's written flag") == 0) return p;
  const std::uint32_t length = r.u32("a pattern channel's length");
  if (length == 0) return p;
  ByteReader data = r.sub(length, "a pattern channel");
  const std::uint32_t depth = data.u32("a pattern channel's depth");
  data.skip(16, "a pattern channel's rectangle");
  data.skip(2, "a pattern channel's depth");
  const std::uint8_t compression = data.u8("a pattern channel's compression");
  if (depth != 8) return p;
  // A claim the data cannot hold is refused before anything is allocated.
  const std::uint64_t size = std::uint64_t(width) * std::uint64_t(height);
  if ((compression == 0 && data.remaining() < size) || data.remaining() * kPackBitsMaxExpansion < size)
    data.fail("a pattern channel of " + std::to_string(width) + " x " + std::to_string(height) +
              " pixels does not fit in its " + std::to_string(data.remaining()) + " bytes");
  p.bytes.resize(std::size_t(size));
  if (compression == 0) {
    std::memcpy(p.bytes.data(), data.take(p.bytes.size(), "a pattern channel's pixels").data(), p.bytes.size());
  } else if (compression == 1) {
    ByteReader sizes = data.sub(std::uint64_t(height) * 2, "a pattern channel's row table");
    decodeRleRows(sizes, data, std::size_t(height), std::size_t(width), false, p.bytes.data(), "a pattern channel");
  } else {
    p.bytes.clear();
  }
  return p;
}

// One pattern; false when its mode is not one the engine draws.
bool readPattern(ByteReader& r, std::string& id, engine::Raster& tile) {
  r.skip(4, "a pattern's version");
  const std::uint32_t mode = r.u32("a pattern's colour mode");
  r.skip(4, "a pattern's size");
  readDescriptorUnicode(r);
  const std::uint8_t idLength = r.u8("a pattern's ID length");
  const auto idBytes = r.take(idLength, "a pattern's ID");
  id.assign(idBytes.begin(), idBytes.end());
  if (mode == 2) r.skip(768, "a pattern's colour table");
  r.skip(8, "the pattern data's version and length");
  const std::int32_t top = r.i32("a pattern's rectangle"), left = r.i32("a pattern's rectangle");
  const std::int32_t bottom = r.i32("a pattern's rectangle"), right = r.i32("a pattern's rectangle");
  const std::int64_t width = std::int64_t(right) - left, height = std::int64_t(bottom) - top;
  if (width <= 0 || height <= 0 || width > kMaxPatternSide || height > kMaxPatternSide)
    r.fail("a pattern claims " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
  const std::uint32_t channels = r.u32("a pattern's channel count");
  if (channels > 56) r.fail("a pattern claims " + std::to_string(channels) + " channels");
  std::vector<Plane> planes;
  for (std::uint32_t c = 0; c < channels + 2 && !r.atEnd(); ++c) planes.push_back(readPlane(r, int(width), int(height)));
  const bool rgb = mode == 3 && planes.size() >= 3, grey = mode == 1 && !planes.empty();
  if (!rgb && !grey) return false;
  for (int c = 0; c < (rgb ? 3 : 1); ++c)
    if (planes[std::size_t(c)].bytes.empty()) return false;
  const std::size_t alphaPlane = rgb ? 3 : 1;
  // The slot after the colour channels (the "user mask") holds the pattern's transparency.
  const bool hasAlpha = planes.size() > alphaPlane && !planes[alphaPlane].bytes.empty();
  tile = engine::Raster({0, 0, int(width), int(height)});
  std::uint8_t* px = tile.mutableData();
  for (std::size_t i = 0, n = std::size_t(width * height); i < n; ++i, px += 4) {
    for (int c = 0; c < 3; ++c) px[c] = planes[std::size_t(rgb ? c : 0)].bytes[i];
    px[3] = hasAlpha ? planes[alphaPlane].bytes[i] : 255;
  }
  return true;
}

}  // namespace

std::map<std::string, engine::Raster> readPatterns(std::span<const std::uint8_t> block, const std::string& name) {
  std::map<std::string, engine::Raster> out;
  ByteReader r(block, name);
  while (r.remaining() >= 4) {
    const std::uint32_t length = r.u32("a pattern's length");
    if (length == 0) break;
    ByteReader one = r.sub(length, "a pattern");
    std::string id;
    engine::Raster tile;
    if (readPattern(one, id, tile)) out[id] = std::move(tile);
    r.skip(std::min<std::uint64_t>((4 - length % 4) % 4, r.remaining()), "a pattern's padding");
  }
  return out;
}

}  // namespace formats
