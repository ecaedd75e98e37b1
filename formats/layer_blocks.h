#pragma once
// The meaning of the keys a Photoshop layer record carries: blend modes, the tagged blocks that
// make a layer a text, fill, adjustment or smart-object layer, and layer effects.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/layer.h"

namespace formats {

// Layer record flags the writer decides itself: hidden (0x02), "bit 4 is useful" (0x08), and
// for a group's records "no pixel data of its own" (0x10). The others are kept as read.
inline constexpr std::uint8_t kRecordFlagsTheWriterSets = 0x02 | 0x08;
inline std::uint8_t keptRecordFlags(std::uint8_t flags, bool isSet) {
  return std::uint8_t(flags & ~(kRecordFlagsTheWriterSets | (isSet ? 0x10 : 0x00)));
}

using BlockKey = std::array<char, 4>;
inline BlockKey blockKey(const char* s) { return {s[0], s[1], s[2], s[3]}; }
inline std::string_view keyView(const BlockKey& k) { return {k.data(), 4}; }

// The first block with one of the keys that has data, or null.
const engine::TaggedBlock* findBlock(const std::vector<engine::TaggedBlock>& blocks,
                                     std::initializer_list<std::string_view> keys);

std::optional<engine::BlendMode> blendModeFromKey(std::string_view key);
const char* blendModeKey(engine::BlendMode mode);

// The kind a block makes of its layer; nothing for blocks that say nothing about the kind.
std::optional<engine::LayerKind> kindOfBlock(std::string_view key);
// The key a writer gives the settings block of a kind (the newest where there are several);
// null for a kind no block makes.
const char* blockKeyOfKind(engine::LayerKind kind);

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
