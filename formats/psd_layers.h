#pragma once
// The layer section of a Photoshop file, read into the engine's layer tree: layer records,
// their channels, masks and tagged blocks, and the section dividers that make groups.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/document.h"
#include "formats/byte_reader.h"
#include "formats/pixel_conversion.h"

namespace formats {

// What the reader knows about the file while it reads.
struct PsdContext {
  const std::string& name;
  int version = 1;
  int depth = 8;
  ColorMode mode = ColorMode::Rgb;
  const Palette* palette = nullptr;
  engine::Rect canvas;
  // Decoded bytes the file may still make the reader allocate, however it is built.
  std::uint64_t budget = 0;

  bool wide() const { return version == 2; }
  void charge(const ByteReader& r, std::uint64_t bytes);
};

struct LayerSection {
  std::vector<engine::LayerNode> layers;   // topmost first
  std::vector<engine::LayerId> recordIds;  // per record, bottom first as stored; 0 for group ends
  bool mergedHasAlpha = false;             // the merged image's first extra channel is its alpha
  bool found = false;                      // the file has layer records at all
};

// `r` holds the layer info without its length field.
LayerSection readLayerInfo(ByteReader r, PsdContext& ctx);

// Tagged blocks up to the end of `r`, tolerating the padding writers leave between them.
struct RawBlock {
  std::array<char, 4> key{};
  std::span<const std::uint8_t> data;
};
std::vector<RawBlock> readTaggedBlocks(ByteReader& r, bool wide);

}  // namespace formats
