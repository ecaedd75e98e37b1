#pragma once
// The density and feather of a layer's user mask and vector mask. A layer record keeps them at
// the end of its mask data, behind a flag bit and a byte that says which of the four follow.

#include <cstdint>

#include "engine/layer.h"
#include "formats/byte_reader.h"
#include "formats/byte_writer.h"

namespace formats {

struct MaskParameters {
  std::uint8_t userDensity = 255;
  double userFeather = 0.0;
  std::uint8_t vectorDensity = 255;
  double vectorFeather = 0.0;

  // Whether any differs from a plain mask, so that the mask data must carry them.
  bool any() const;
};

// The mask flag bit that says the parameters follow.
inline constexpr std::uint8_t kMaskHasParameters = 0x10;

// Reads the parameters at the reader's position: what a short or damaged field leaves unread
// keeps its plain value, and feathers are kept within what the engine draws.
MaskParameters readMaskParameters(ByteReader& r);
// Writes the byte that says which parameters differ from a plain mask, then those values.
void writeMaskParameters(ByteWriter& w, const MaskParameters& p);

MaskParameters maskParametersOf(const engine::LayerNode& node);
// Gives the node's pixel mask the user-mask values and its vector mask the vector-mask ones.
void applyMaskParameters(const MaskParameters& p, engine::LayerNode& node);

}  // namespace formats
