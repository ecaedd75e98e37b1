#pragma once
// The meaning of the keys a Photoshop layer record carries: blend modes, the tagged blocks that
// make a layer a text, fill, adjustment or smart-object layer, and layer effects.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/layer.h"

namespace formats {

using BlockKey = std::array<char, 4>;
inline BlockKey blockKey(const char* s) { return {s[0], s[1], s[2], s[3]}; }
inline std::string_view keyView(const BlockKey& k) { return {k.data(), 4}; }

std::optional<engine::BlendMode> blendModeFromKey(std::string_view key);
const char* blendModeKey(engine::BlendMode mode);

// The kind a block makes of its layer; nothing for blocks that say nothing about the kind.
std::optional<engine::LayerKind> kindOfBlock(std::string_view key);

// Blocks whose content the reader turns into fields of the layer, so they are not kept as they
// were: the writer makes them again from the fields.
bool isInterpretedBlock(std::string_view key);

// Layer effects: object-based ('lfx2', 'lmfx', 'lfxs' on some groups) and the older 'lrFX'.
bool isEffectsBlock(std::string_view key);
// Whether the effects are switched on; nothing when the block does not say.
std::optional<bool> effectsSwitch(std::string_view key, std::span<const std::uint8_t> data, const std::string& name);
// The block with its effects switched on or off.
std::vector<std::uint8_t> withEffectsSwitch(std::string_view key, std::span<const std::uint8_t> data, bool on,
                                            const std::string& name);

// Keys whose length field is 8 bytes wide in large-document (PSB) files.
bool hasWideLength(std::string_view key);

}  // namespace formats
