#include "layer_listing.h"

#include <cmath>
#include <iomanip>

#include "formats/pixel_conversion.h"

namespace psdinfo {

namespace {

const char* kindName(engine::LayerKind kind) {
  switch (kind) {
    case engine::LayerKind::Normal: return "pixels";
    case engine::LayerKind::Text: return "text";
    case engine::LayerKind::SolidFill: return "solid-fill";
    case engine::LayerKind::GradientFill: return "gradient-fill";
    case engine::LayerKind::PatternFill: return "pattern-fill";
    case engine::LayerKind::SmartObject: return "smart-object";
    case engine::LayerKind::Layer3D: return "3d";
    case engine::LayerKind::Video: return "video";
    default: return "adjustment";
  }
}

const char* blendName(engine::BlendMode mode) {
  switch (mode) {
    case engine::BlendMode::PassThrough: return "pass-through";
    case engine::BlendMode::Normal: return "normal";
    case engine::BlendMode::Dissolve: return "dissolve";
    case engine::BlendMode::Darken: return "darken";
    case engine::BlendMode::Multiply: return "multiply";
    case engine::BlendMode::ColorBurn: return "color-burn";
    case engine::BlendMode::LinearBurn: return "linear-burn";
    case engine::BlendMode::Lighten: return "lighten";
    case engine::BlendMode::Screen: return "screen";
    case engine::BlendMode::ColorDodge: return "color-dodge";
    case engine::BlendMode::LinearDodge: return "linear-dodge";
    case engine::BlendMode::Overlay: return "overlay";
    case engine::BlendMode::SoftLight: return "soft-light";
    case engine::BlendMode::HardLight: return "hard-light";
    case engine::BlendMode::VividLight: return "vivid-light";
    case engine::BlendMode::LinearLight: return "linear-light";
    case engine::BlendMode::PinLight: return "pin-light";
    case engine::BlendMode::Difference: return "difference";
    case engine::BlendMode::Exclusion: return "exclusion";
    case engine::BlendMode::Hue: return "hue";
    case engine::BlendMode::Saturation: return "saturation";
    case engine::BlendMode::Color: return "color";
    case engine::BlendMode::Luminosity: return "luminosity";
    case engine::BlendMode::HardMix: return "hard-mix";
    case engine::BlendMode::LighterColor: return "lighter-color";
    case engine::BlendMode::DarkerColor: return "darker-color";
    case engine::BlendMode::Subtract: return "subtract";
    case engine::BlendMode::Divide: return "divide";
  }
  return "normal";
}

const char* labelName(engine::ColorLabel label) {
  static const char* names[] = {"none", "red", "orange", "yellow", "green", "blue", "violet", "gray"};
  const int i = int(label);
  return i >= 0 && i < 8 ? names[i] : "none";
}

void printLayers(std::ostream& out, const std::vector<engine::LayerNode>& layers, int depth) {
  for (const engine::LayerNode& n : layers) {
    out << std::string(std::size_t(depth) * 2 + 2, ' ') << (n.isSet ? "set" : kindName(n.kind)) << " \"" << n.name
        << "\" " << (n.visible ? "visible" : "hidden") << " opacity " << std::lround(n.opacity * 100.0 / 255.0) << "% "
        << blendName(n.blendMode) << " label " << labelName(n.colorLabel);
    const engine::Rect b = n.contentBounds();
    if (b.empty()) out << " bounds empty";
    else out << " bounds " << b.left << "," << b.top << "," << b.right << "," << b.bottom;
    if (n.isBackground) out << " background";
    if (n.clipping) out << " clipped";
    if (n.linkGroup) out << " link " << n.linkGroup;
    if (n.hasStyle) out << (n.styleEnabled ? " effects" : " effects-off");
    if (!n.mask.empty()) out << " mask";
    out << "\n";
    if (n.isSet) printLayers(out, n.children, depth + 1);
  }
}

}  // namespace

void printDocument(std::ostream& out, const formats::PsdFile& file) {
  const engine::DocumentContent& c = file.content;
  out << "size: " << c.width << " x " << c.height << " pixels, " << c.resolution << " ppi\n";
  out << "mode: " << formats::colorModeName(file.colorMode) << " " << file.depth << "-bit";
  if (file.colorMode != 3 || file.depth != 8) out << " (converted to 8-bit RGB)";
  out << (file.version == 2 ? ", PSB" : "") << "\n";
  out << "keywords:";
  for (const std::string& k : c.keywords) out << " \"" << k << "\"";
  out << "\nlayers:\n";
  printLayers(out, c.layers, 0);
}

}  // namespace psdinfo
