#include "formats/layer_blocks.h"

#include <algorithm>

#include "formats/byte_reader.h"
#include "formats/descriptor.h"

namespace formats {

namespace {

struct BlendKey {
  const char* key;
  engine::BlendMode mode;
};

constexpr BlendKey kBlendKeys[] = {
    {"pass", engine::BlendMode::PassThrough}, {"norm", engine::BlendMode::Normal},
    {"diss", engine::BlendMode::Dissolve},    {"dark", engine::BlendMode::Darken},
    {"mul ", engine::BlendMode::Multiply},    {"idiv", engine::BlendMode::ColorBurn},
    {"lbrn", engine::BlendMode::LinearBurn},  {"lite", engine::BlendMode::Lighten},
    {"scrn", engine::BlendMode::Screen},      {"div ", engine::BlendMode::ColorDodge},
    {"lddg", engine::BlendMode::LinearDodge}, {"over", engine::BlendMode::Overlay},
    {"sLit", engine::BlendMode::SoftLight},   {"hLit", engine::BlendMode::HardLight},
    {"vLit", engine::BlendMode::VividLight},  {"lLit", engine::BlendMode::LinearLight},
    {"pLit", engine::BlendMode::PinLight},    {"diff", engine::BlendMode::Difference},
    {"smud", engine::BlendMode::Exclusion},   {"hue ", engine::BlendMode::Hue},
    {"sat ", engine::BlendMode::Saturation},  {"colr", engine::BlendMode::Color},
    {"lum ", engine::BlendMode::Luminosity},  {"hMix", engine::BlendMode::HardMix},
    {"lgCl", engine::BlendMode::LighterColor}, {"dkCl", engine::BlendMode::DarkerColor},
    {"fsub", engine::BlendMode::Subtract},    {"fdiv", engine::BlendMode::Divide},
};

struct KindKey {
  const char* key;
  engine::LayerKind kind;
};

constexpr KindKey kKindKeys[] = {
    {"TySh", engine::LayerKind::Text},          {"tySh", engine::LayerKind::Text},
    {"SoCo", engine::LayerKind::SolidFill},     {"GdFl", engine::LayerKind::GradientFill},
    {"PtFl", engine::LayerKind::PatternFill},   {"levl", engine::LayerKind::Levels},
    {"curv", engine::LayerKind::Curves},        {"blnc", engine::LayerKind::ColorBalance},
    {"brit", engine::LayerKind::BrightnessContrast}, {"hue2", engine::LayerKind::HueSaturation},
    {"hue ", engine::LayerKind::HueSaturation}, {"selc", engine::LayerKind::SelectiveColor},
    {"mixr", engine::LayerKind::ChannelMixer},  {"grdm", engine::LayerKind::GradientMap},
    {"nvrt", engine::LayerKind::Inversion},     {"thrs", engine::LayerKind::Threshold},
    {"post", engine::LayerKind::Posterize},     {"SoLd", engine::LayerKind::SmartObject},
    {"PlLd", engine::LayerKind::SmartObject},   {"SoLE", engine::LayerKind::SmartObject},
    {"phfl", engine::LayerKind::PhotoFilter},   {"expA", engine::LayerKind::Exposure},
    {"blwh", engine::LayerKind::BlackAndWhite}, {"vibA", engine::LayerKind::Vibrance},
};

// Where the 'visible' byte of the common-state entry of an 'lrFX' block is.
std::optional<std::size_t> legacySwitchOffset(std::span<const std::uint8_t> data, const std::string& name) {
  ByteReader r(data, name);
  r.skip(2, "the effects version");
  const std::uint16_t count = r.u16("the effects count");
  for (std::uint16_t i = 0; i < count; ++i) {
    r.skip(4, "an effect signature");
    auto key = r.take(4, "an effect key");
    const std::uint32_t size = r.u32("an effect size");
    if (std::string_view(reinterpret_cast<const char*>(key.data()), 4) == "cmnS") {
      if (size < 7) return std::nullopt;
      return r.position() + 4;  // after the version
    }
    r.skip(size, "an effect");
  }
  return std::nullopt;
}

std::optional<std::size_t> switchOffset(std::string_view key, std::span<const std::uint8_t> data, const std::string& name) {
  try {
    if (key == "lrFX") return legacySwitchOffset(data, name);
    return effectsSwitchOffset(data, name);
  } catch (const FormatError&) {
    return std::nullopt;  // effects the codec cannot walk are kept and written back untouched
  }
}

}  // namespace

const engine::TaggedBlock* findBlock(const std::vector<engine::TaggedBlock>& blocks,
                                     std::initializer_list<std::string_view> keys) {
  for (const engine::TaggedBlock& b : blocks)
    if (b.data && std::find(keys.begin(), keys.end(), keyView(b.key)) != keys.end()) return &b;
  return nullptr;
}

std::optional<engine::BlendMode> blendModeFromKey(std::string_view key) {
  for (const BlendKey& b : kBlendKeys)
    if (key == b.key) return b.mode;
  return std::nullopt;
}

const char* blendModeKey(engine::BlendMode mode) {
  for (const BlendKey& b : kBlendKeys)
    if (b.mode == mode) return b.key;
  return "norm";
}

std::optional<engine::LayerKind> kindOfBlock(std::string_view key) {
  for (const KindKey& k : kKindKeys)
    if (key == k.key) return k.kind;
  return std::nullopt;
}

const char* blockKeyOfKind(engine::LayerKind kind) {
  for (const KindKey& k : kKindKeys)
    if (kind == k.kind) return k.key;
  return nullptr;
}

bool isInterpretedBlock(std::string_view key) {
  return key == "luni" || key == "lsct" || key == "lsdk" || key == "lclr" || key == "iOpa" || key == "lyid" ||
         key == "SoCo";
}

bool isEffectsBlock(std::string_view key) { return key == "lfx2" || key == "lmfx" || key == "lfxs" || key == "lrFX"; }

std::optional<bool> effectsSwitch(std::string_view key, std::span<const std::uint8_t> data, const std::string& name) {
  const auto at = switchOffset(key, data, name);
  if (!at || *at >= data.size()) return std::nullopt;
  return data[*at] != 0;
}

std::vector<std::uint8_t> withEffectsSwitch(std::string_view key, std::span<const std::uint8_t> data, bool on,
                                            const std::string& name) {
  std::vector<std::uint8_t> out(data.begin(), data.end());
  const auto at = switchOffset(key, data, name);
  if (at && *at < out.size()) out[*at] = on ? 1 : 0;
  return out;
}

bool hasWideLength(std::string_view key) {
  static constexpr const char* kWide[] = {"LMsk", "Lr16", "Lr32", "Layr", "Mt16", "Mt32", "Mtrn", "Alph",
                                          "FMsk", "lnk2", "FEid", "FXid", "PxSD"};
  for (const char* k : kWide)
    if (key == k) return true;
  return false;
}

}  // namespace formats
