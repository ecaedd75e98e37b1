#pragma once
// The patterns a document stores ('Patt', 'Pat2', 'Pat3' blocks): the tiles that pattern
// overlays and pattern strokes repeat, found by their unique IDs.

#include <map>
#include <span>
#include <string>

#include "engine/raster.h"

namespace formats {

// The RGB and greyscale 8-bit patterns of one block, by unique ID; patterns of other modes
// and depths are left out. Damaged data throws FormatError.
std::map<std::string, engine::Raster> readPatterns(std::span<const std::uint8_t> block, const std::string& name);

}  // namespace formats
