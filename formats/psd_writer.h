#pragma once
// The PSD writer with a choice of channel compression (saves use RLE; the others exist so
// that every way of storing a channel can be produced and read back).

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "engine/document.h"
#include "formats/channel_codec.h"

namespace formats {

std::vector<std::uint8_t> encodePsd(const engine::DocumentContent& content, Compression layerCompression);

// A document encoded for saving: its bytes in file order as pieces, so that the channel data is
// written from the buffers it was packed into instead of being joined first.
struct EncodedPsd {
  std::vector<std::span<const std::uint8_t>> pieces;
  std::shared_ptr<const void> storage;  // owns what the pieces show

  std::size_t size() const;
  std::vector<std::uint8_t> joined() const;
};

// The channels are packed on the available cores.
EncodedPsd encodePsdForSaving(const engine::DocumentContent& content, Compression layerCompression = Compression::Rle);

}  // namespace formats
