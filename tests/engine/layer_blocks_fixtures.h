#pragma once
// Blocks as a Photoshop file carries them, built for engine tests: vector mask paths and
// adjustment settings, read into a layer by the codec.

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/layer.h"
#include "formats/layer_settings_codec.h"

namespace fixtures {

class BlockBytes {
 public:
  BlockBytes& u8(int v) {
    bytes.push_back(std::uint8_t(v));
    return *this;
  }
  BlockBytes& u16(int v) { return u8(v >> 8).u8(v & 255); }
  BlockBytes& u32(std::uint32_t v) { return u16(int(v >> 16)).u16(int(v & 0xFFFF)); }
  BlockBytes& zeros(int n) {
    bytes.insert(bytes.end(), std::size_t(n), 0);
    return *this;
  }
  BlockBytes& u16s(std::initializer_list<int> values) {
    for (int v : values) u16(v);
    return *this;
  }
  BlockBytes& tag(const char* key) { return u16(key[0] << 8 | key[1]).u16(key[2] << 8 | key[3]); }
  std::vector<std::uint8_t> bytes;
};

// Adds the block as a file would carry it, read into the layer's settings as the codec does.
inline void addBlock(engine::LayerNode& node, const char* key, std::vector<std::uint8_t> data) {
  engine::TaggedBlock b;
  for (int i = 0; i < 4; ++i) b.key[std::size_t(i)] = key[i];
  b.data = std::make_shared<const std::vector<std::uint8_t>>(std::move(data));
  node.extraBlocks.push_back(b);
  formats::interpretLayerBlocks(node, "test");
}

struct PathPoint {
  double x, y;  // pixels
};

// A vector mask of straight-edged closed subpaths, each with its operation (1 add, 2 subtract,
// 3 intersect, 0 exclude), stored relative to a canvas of w x h.
inline std::vector<std::uint8_t> vectorMask(const std::vector<std::pair<int, std::vector<PathPoint>>>& subpaths, int w,
                                            int h, bool startFull = false, std::uint32_t flags = 0) {
  BlockBytes b;
  b.u32(3).u32(flags);
  b.u16(6).zeros(24);                        // fill rule
  b.u16(8).u16(startFull ? 1 : 0).zeros(22);  // initial fill
  for (const auto& [operation, points] : subpaths) {
    b.u16(0).u16(int(points.size())).u16(operation & 0xFFFF).zeros(20);
    for (const PathPoint& p : points) {
      b.u16(2);
      const auto fixed = [](double v) { return std::uint32_t(std::int32_t(std::lround(v * (1 << 24)))); };
      for (int k = 0; k < 3; ++k) b.u32(fixed(p.y / h)).u32(fixed(p.x / w));  // before, anchor, after
    }
  }
  return b.bytes;
}

inline std::vector<PathPoint> rectPath(double l, double t, double r, double bottom) {
  return {{l, t}, {r, t}, {r, bottom}, {l, bottom}};
}

}  // namespace fixtures
