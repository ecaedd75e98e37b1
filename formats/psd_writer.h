#pragma once
// The PSD writer with a choice of channel compression (saves use RLE; the others exist so
// that every way of storing a channel can be produced and read back).

#include <cstdint>
#include <vector>

#include "engine/document.h"
#include "formats/channel_codec.h"

namespace formats {

std::vector<std::uint8_t> encodePsd(const engine::DocumentContent& content, Compression layerCompression);

}  // namespace formats
