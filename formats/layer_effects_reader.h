#pragma once
// Layer effects of a PSD file read into the engine's typed effects: the object-based effects
// descriptor ('lfx2', 'lmfx'), with the document's global light for the effects that use it.

#include <map>
#include <span>
#include <string>

#include "engine/document.h"
#include "engine/layer_effects.h"

namespace formats {

struct GlobalLight {
  double angle = 120.0;    // degrees
  double altitude = 30.0;  // degrees
};

// The global light of the image resources 1037 (angle) and 1049 (altitude), where present.
GlobalLight globalLightOf(const std::vector<engine::ImageResource>& resources);

using Patterns = std::map<std::string, engine::Raster>;  // by unique ID

// The effects of one 'lfx2' or 'lmfx' block; a block that cannot be read throws FormatError.
// Pattern overlays and strokes take their tiles from `patterns`.
engine::LayerEffects readLayerEffects(std::span<const std::uint8_t> block, const GlobalLight& light,
                                      const std::string& name, const Patterns& patterns = {});

// Gives every layer with a readable style its typed effects, and every gradient or pattern fill
// layer what it paints, its colours mixed as `fills` says (linear light for a 32-bit document,
// L*a*b* for a Lab one). A style that cannot be read is kept as it is in the file and not drawn.
void attachLayerEffects(engine::DocumentContent& content, const std::string& name,
                        engine::EffectFill::Mixing fills = engine::EffectFill::Mixing::Srgb);

}  // namespace formats
