#pragma once
// Photoshop's action descriptors as they appear inside layer blocks (fill colours, type layers,
// layer effects). Only what the codec needs: walking the items of a descriptor to find a key,
// reading a few value types, and the one descriptor the writer makes (a solid colour).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/geometry.h"
#include "formats/byte_reader.h"

namespace formats {

struct DescriptorItem {
  std::string key;   // a four-character code or a string ID
  std::string type;  // the four-character value type ("doub", "Objc", "bool"...)
  std::size_t valueOffset = 0;  // where the value starts, in the walked reader's bytes
};

// Walks the descriptor at the reader's position, calling `visit` with each top-level item and
// a reader positioned at its value. Stops early when `visit` returns false. Returns false when
// the walk could not finish (an item of a type it does not know); out-of-bounds data throws.
bool walkDescriptor(ByteReader& r, const std::function<bool(const DescriptorItem&, ByteReader& value)>& visit);

std::string readDescriptorUnicode(ByteReader& r);

// The colour of a solid-colour fill block ('SoCo': version, then a descriptor with 'Clr ').
std::optional<engine::Rgb> solidFillColor(std::span<const std::uint8_t> block, const std::string& name);
std::vector<std::uint8_t> solidFillBlock(engine::Rgb color);

// The words of a type layer ('TySh').
std::optional<std::string> typeLayerText(std::span<const std::uint8_t> block, const std::string& name);

// The master switch of object-based layer effects ('lfx2', 'lmfx'): where its byte is, if any.
std::optional<std::size_t> effectsSwitchOffset(std::span<const std::uint8_t> block, const std::string& name);

}  // namespace formats
