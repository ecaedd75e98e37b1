#pragma once
// The layer tree: art layers and layer sets of any depth, stored as values so that a history
// state is a cheap copy (pixels are shared, see Raster).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/layer_settings.h"
#include "engine/mask.h"
#include "engine/raster.h"

namespace engine {

using LayerId = std::uint64_t;  // 0 never names a layer
LayerId newLayerId();

// Photoshop's layer blend-mode numbering.
enum class BlendMode : int {
  PassThrough = 1, Normal = 2, Dissolve = 3, Darken = 4, Multiply = 5, ColorBurn = 6, LinearBurn = 7,
  Lighten = 8, Screen = 9, ColorDodge = 10, LinearDodge = 11, Overlay = 12, SoftLight = 13, HardLight = 14,
  VividLight = 15, LinearLight = 16, PinLight = 17, Difference = 18, Exclusion = 19, Hue = 20,
  Saturation = 21, Color = 22, Luminosity = 23, HardMix = 26, LighterColor = 27, DarkerColor = 28,
  Subtract = 29, Divide = 30,
};
bool isValidBlendMode(int value);

// Opacities are stored 0..255 and shown as percentages; out-of-range percentages fail.
std::uint8_t opacityFromPercent(double percent);
double opacityToPercent(std::uint8_t value);

// Colour labels of the Layers palette, numbered as Photoshop stores them in a file.
enum class ColorLabel : int { None = 0, Red = 1, Orange = 2, Yellow = 3, Green = 4, Blue = 5, Violet = 6, Gray = 7 };

// What a kept block belongs to, so that it goes when that goes: the layer's kind (a type or
// fill layer that is rasterised), its vector mask, or its style.
enum class BlockTie : std::uint8_t { None, Kind, VectorMask, Style };

// A block of layer information the engine does not interpret, kept to be written back.
struct TaggedBlock {
  std::array<char, 4> key{};
  std::shared_ptr<const std::vector<std::uint8_t>> data;
  BlockTie tie = BlockTie::None;
};

// A user mask attached to a layer: 255 shows the layer, 0 hides it.
struct LayerMask {
  Mask pixels{Rect{}, 255};  // outside value is the mask's default colour; no mask shows everything
  bool disabled = false;
  std::uint8_t density = 255;  // below 255 the hidden parts show through: 255 - density x (255 - mask)
  double feather = 0.0;        // radius in pixels of the blur that softens the mask's edges
  bool empty() const { return pixels.bounds().empty() && pixels.outside() == 255; }
};

struct LayerEffects;
struct EffectFill;

// An artboard: a set whose members show only inside its rectangle, over its background
// colour (none: transparent).
struct Artboard {
  Rect rect;
  std::optional<Rgb> background;
  bool operator==(const Artboard&) const = default;
};

struct LayerNode {
  LayerId id = 0;
  bool isSet = false;
  std::string name;
  bool visible = true;
  std::uint8_t opacity = 255;  // 0..255; the automation layer shows it as a percentage
  BlendMode blendMode = BlendMode::Normal;
  ColorLabel colorLabel = ColorLabel::None;
  std::uint32_t linkGroup = 0;  // layers sharing a non-zero group move together
  LayerMask mask;

  // Art layers.
  LayerKind kind = LayerKind::Normal;
  bool isBackground = false;
  Raster pixels;
  Rgb fillColor{};                  // solid-fill layers
  std::uint8_t fillOpacity = 255;   // 0..255
  bool clipping = false;            // clipped to the layer below
  std::shared_ptr<const VectorPath> vectorMask;  // of shape layers and vector masks
  std::uint8_t vectorMaskDensity = 255;  // as LayerMask::density, for the vector mask
  double vectorMaskFeather = 0.0;        // as LayerMask::feather, for the vector mask
  bool vectorContent = false;       // a shape whose pixels are its fill, already cut by the vector mask
  std::shared_ptr<const AdjustmentSettings> adjustment;  // adjustment layers whose settings were read
  bool knockout = false;            // composited onto what lies below its whole stack
  // Photoshop's "Layer Mask Hides Effects" and "Vector Mask Hides Effects": the mask cuts the
  // layer and its effects as drawn, instead of shaping what the effects are drawn from.
  bool layerMaskHidesEffects = false;
  bool vectorMaskHidesEffects = false;
  // "Blend Interior Effects as Group": the overlays, satin and inner glow join the layer's pixels
  // before its blend mode and fill opacity apply, instead of painting over the blended result.
  bool blendInteriorEffectsAsGroup = false;
  std::uint8_t keptChannels = 0;    // bits 0..2: red, green, blue that the layer leaves as they were below
  bool hasStyle = false;            // layer effects present (kept in extraBlocks)
  bool styleEnabled = true;
  std::shared_ptr<const LayerEffects> effects;  // the style's effects as the engine draws them
  std::shared_ptr<const EffectFill> fillContent;  // gradient and pattern fill layers: what they paint
  std::string text;                 // text layers: their words, for display
  std::vector<TaggedBlock> extraBlocks;
  // Flag bits of the file's layer record that the engine does not act on ("transparency
  // protected", "pixel data irrelevant" of shape layers, and others), written back as read.
  std::uint8_t keptRecordFlags = 0;

  // Layer sets.
  std::vector<LayerNode> children;  // topmost first
  bool expanded = false;
  std::optional<Artboard> artboard;  // read from a block that stays in extraBlocks

  static LayerNode artLayer(std::string name);
  static LayerNode layerSet(std::string name);
  // Bounds of the pixels this node shows (the union of its members for a set).
  Rect contentBounds() const;
};

// Navigation in a tree given as the top-level list (topmost first).
struct LayerPath {
  std::vector<LayerNode>* siblings = nullptr;  // the list that holds the node
  std::size_t index = 0;
  LayerNode* parent = nullptr;  // null at top level
  LayerNode& node() const { return (*siblings)[index]; }
};
LayerNode* findLayer(std::vector<LayerNode>& layers, LayerId id);
const LayerNode* findLayer(const std::vector<LayerNode>& layers, LayerId id);
bool locateLayer(std::vector<LayerNode>& layers, LayerId id, LayerPath& out);
// Calls f(node) for every node, depth first, top to bottom.
template <class Tree, class F>
void forEachLayer(Tree& layers, F&& f) {
  for (auto& n : layers) {
    f(n);
    forEachLayer(n.children, f);
  }
}

}  // namespace engine
