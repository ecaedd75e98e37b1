#include "formats/layer_settings_codec.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "engine/layer_effects.h"
#include "formats/byte_reader.h"
#include "formats/byte_writer.h"
#include "formats/descriptor_tree.h"

namespace formats {

namespace {

using engine::PathRecord;

std::vector<std::uint8_t> rest(ByteReader& r) {
  const auto bytes = r.take(r.remaining(), "the rest of a block");
  return {bytes.begin(), bytes.end()};
}

engine::VectorPath readVectorPath(ByteReader& r, bool shapeSettings) {
  engine::VectorPath path;
  path.shapeSettings = shapeSettings;
  path.version = r.u32("a path version");
  path.flags = r.u32("path flags");
  std::size_t expected = 0, knots = 0;
  bool inSubpath = false;
  while (r.remaining() >= 26) {
    PathRecord rec;
    rec.type = r.u16("a path record");
    ByteReader body = r.sub(24, "a path record");
    if (rec.isLength()) {
      rec.knotCount = body.u16("a knot count");
      rec.operation = body.i16("a path operation");
      expected = rec.knotCount;
      knots = 0;
      inSubpath = true;
    } else if (rec.isKnot()) {
      if (!inSubpath || knots++ >= expected) r.fail("a vector path has more knots than its subpath counts");
      for (std::int32_t& v : rec.knot) v = body.i32("a path point");
    } else if (rec.type == PathRecord::InitialFill) {
      rec.initialFill = body.u16("an initial fill");
    }
    // What the fields hold is theirs alone: the kept bytes are the rest, zero where they are.
    std::memcpy(rec.kept.data() + body.position(), body.bytes().data() + body.position(), body.remaining());
    path.records.push_back(rec);
  }
  path.kept = rest(r);
  return path;
}

void writeVectorPath(ByteWriter& w, const engine::VectorPath& path) {
  w.u32(path.version);
  w.u32(path.flags);
  for (const PathRecord& rec : path.records) {
    w.u16(rec.type);
    const std::size_t body = w.size();
    w.bytes(rec.kept.data(), rec.kept.size());
    if (rec.isLength()) {
      w.patch16(body, rec.knotCount);
      w.patch16(body + 2, std::uint16_t(rec.operation));
    } else if (rec.isKnot()) {
      for (std::size_t i = 0; i < 6; ++i) w.patch32(body + 4 * i, std::uint32_t(rec.knot[i]));
    } else if (rec.type == PathRecord::InitialFill) {
      w.patch16(body, rec.initialFill);
    }
  }
  w.bytes(path.kept);
}

engine::CurvePoints readCurvePoints(ByteReader& r) {
  const std::uint16_t count = r.u16("a curve's point count");
  if (count < 1 || count > 64) r.fail("a curve has " + std::to_string(count) + " points (1 to 64 are allowed)");
  engine::CurvePoints points;
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::uint16_t output = r.u16("a curve point");
    points.push_back({r.u16("a curve point"), output});
  }
  return points;
}

void writeCurvePoints(ByteWriter& w, const engine::CurvePoints& points) {
  w.u16(std::uint16_t(points.size()));
  for (const auto& [input, output] : points) {
    w.u16(output);
    w.u16(input);
  }
}

engine::CurvesSettings readCurves(ByteReader& r) {
  engine::CurvesSettings s;
  s.lead = r.u8("a curves block");
  s.version = r.u16("a curves version");
  const std::uint32_t channels = r.u32("the curves' channels");
  for (std::uint16_t c = 0; c < 32; ++c)
    if (channels & (1u << c)) s.curves.push_back({c, readCurvePoints(r)});
  if (r.remaining() >= 10 && r.startsWith("Crv ")) {
    r.skip(4, "a signature");
    s.extended = true;
    s.extendedVersion = r.u16("a curves version");
    const std::uint32_t count = r.u32("a curve count");
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint16_t channel = r.u16("a curve channel");
      s.extendedCurves.push_back({channel, readCurvePoints(r)});
    }
  }
  return s;
}

void writeSettings(ByteWriter& w, const engine::CurvesSettings& s) {
  w.u8(s.lead);
  w.u16(s.version);
  std::uint32_t channels = 0;
  for (const engine::CurveChannel& c : s.curves) channels |= 1u << c.channel;
  w.u32(channels);
  for (const engine::CurveChannel& c : s.curves) writeCurvePoints(w, c.points);
  if (s.extended) {
    w.tag("Crv ");
    w.u16(s.extendedVersion);
    w.u32(std::uint32_t(s.extendedCurves.size()));
    for (const engine::CurveChannel& c : s.extendedCurves) {
      w.u16(c.channel);
      writeCurvePoints(w, c.points);
    }
  }
}

engine::LevelsSettings readLevels(ByteReader& r) {
  engine::LevelsSettings s;
  s.version = r.u16("a levels version");
  for (engine::LevelsRecord& l : s.records)
    for (std::uint16_t* v : {&l.inFloor, &l.inCeiling, &l.outFloor, &l.outCeiling, &l.gamma}) *v = r.u16("levels");
  return s;
}

void writeSettings(ByteWriter& w, const engine::LevelsSettings& s) {
  w.u16(s.version);
  for (const engine::LevelsRecord& l : s.records)
    for (std::uint16_t v : {l.inFloor, l.inCeiling, l.outFloor, l.outCeiling, l.gamma}) w.u16(v);
}

engine::HueSaturationValues readHueValues(ByteReader& r) {
  engine::HueSaturationValues v;
  for (std::int16_t* at : {&v.hue, &v.saturation, &v.lightness}) *at = r.i16("hue/saturation settings");
  return v;
}

void writeHueValues(ByteWriter& w, const engine::HueSaturationValues& v) {
  for (std::int16_t x : {v.hue, v.saturation, v.lightness}) w.i16(x);
}

engine::HueSaturationSettings readHueSaturation(ByteReader& r) {
  engine::HueSaturationSettings s;
  s.version = r.u16("a hue/saturation version");
  s.colorize = r.u8("the colorize switch");
  s.padding = r.u8("padding");
  s.colorizeValues = readHueValues(r);
  s.master = readHueValues(r);
  for (engine::HueRange& range : s.ranges) {
    for (std::int16_t& d : range.degrees) d = r.i16("a hue range");
    range.values = readHueValues(r);
  }
  return s;
}

void writeSettings(ByteWriter& w, const engine::HueSaturationSettings& s) {
  w.u16(s.version);
  w.u8(s.colorize);
  w.u8(s.padding);
  writeHueValues(w, s.colorizeValues);
  writeHueValues(w, s.master);
  for (const engine::HueRange& range : s.ranges) {
    for (std::int16_t d : range.degrees) w.i16(d);
    writeHueValues(w, range.values);
  }
}

engine::ExposureSettings readExposure(ByteReader& r) {
  engine::ExposureSettings s;
  s.version = r.u16("an exposure version");
  for (float* v : {&s.exposure, &s.offset, &s.gamma}) *v = std::bit_cast<float>(r.u32("an exposure setting"));
  return s;
}

void writeSettings(ByteWriter& w, const engine::ExposureSettings& s) {
  w.u16(s.version);
  for (float v : {s.exposure, s.offset, s.gamma}) w.u32(std::bit_cast<std::uint32_t>(v));
}

void writeSettings(ByteWriter& w, const engine::PosterizeSettings& s) { w.u16(s.levels); }
void writeSettings(ByteWriter& w, const engine::ThresholdSettings& s) { w.u16(s.level); }

engine::ChannelMixerSettings readChannelMixer(ByteReader& r) {
  engine::ChannelMixerSettings s;
  s.version = r.u16("the channel mixer version");
  s.monochrome = r.u16("the channel mixer's monochrome switch");
  for (auto& output : s.outputs)
    for (std::int16_t& share : output) share = r.i16("a channel mixer share");
  return s;
}

void writeSettings(ByteWriter& w, const engine::ChannelMixerSettings& s) {
  w.u16(s.version);
  w.u16(s.monochrome);
  for (const auto& output : s.outputs)
    for (const std::int16_t share : output) w.i16(share);
}

// A colour structure: a colour space and four 16-bit components. Photoshop's gradient stops
// hold RGB, HSB, CMYK, Lab or grey; nothing for any other space.
std::optional<engine::ColorF> readColorStructure(ByteReader& r) {
  const std::uint16_t space = r.u16("a colour space");
  std::array<std::uint16_t, 4> v{};
  for (std::uint16_t& c : v) c = r.u16("a colour component");
  const auto unit = [](std::uint16_t c) { return c / 65535.0; };
  switch (space) {
    case 0: return engine::ColorF{unit(v[0]) * 255, unit(v[1]) * 255, unit(v[2]) * 255};
    case 1: return hsbToRgb(v[0] * 360.0 / 65536.0, unit(v[1]), unit(v[2]));
    case 2: {  // inks stored inverted: 65535 is none
      const double keep = 255 * unit(v[3]);
      return engine::ColorF{unit(v[0]) * keep, unit(v[1]) * keep, unit(v[2]) * keep};
    }
    case 7: return engine::labToSrgb(std::min(v[0], std::uint16_t(10000)) / 100.0, std::int16_t(v[1]) / 100.0,
                                     std::int16_t(v[2]) / 100.0);
    case 8: {
      const double level = 255 * (1 - std::min(v[0], std::uint16_t(10000)) / 10000.0);
      return engine::ColorF{level, level, level};
    }
    default: return std::nullopt;
  }
}

engine::GradientMapSettings readGradientMap(ByteReader r) {
  using Method = engine::GradientMapSettings::Method;
  engine::GradientMapSettings s;
  const std::uint16_t version = r.u16("the gradient map version");
  if (version != 1 && version != 3) r.fail("its gradient map is of unknown version " + std::to_string(version));
  s.reverse = r.u8("the gradient map's reverse switch") != 0;
  r.skip(1, "the gradient map's dither switch");
  if (version == 3) {
    const auto tag = r.take(4, "the gradient map's method");
    const std::string_view method(reinterpret_cast<const char*>(tag.data()), 4);
    s.method = method == "Perc" ? Method::Perceptual : method == "Lnr " ? Method::Linear
               : method == "Smoo" ? Method::Smooth : Method::Classic;
  }
  r.skip(std::uint64_t(r.u32("the gradient's name length")) * 2, "the gradient's name");
  auto gradient = std::make_shared<engine::EffectGradient>();
  const std::uint16_t stops = r.u16("the gradient's stop count");
  for (std::uint16_t i = 0; i < stops; ++i) {
    const double location = std::clamp(r.u32("a stop's location") / 4096.0, 0.0, 1.0);
    const double midpoint = std::clamp(r.u32("a stop's midpoint") / 100.0, 0.0, 1.0);
    const std::optional<engine::ColorF> color = readColorStructure(r);
    r.skip(2, "a stop's padding");
    if (!color) r.fail("a gradient map stop has a colour of an unknown space");
    gradient->colors.push_back({location, *color, midpoint});
  }
  const std::uint16_t opacities = r.u16("the gradient's opacity stop count");
  r.skip(std::uint64_t(opacities) * 10, "the gradient's opacity stops");
  r.skip(2, "the gradient's expansion count");
  gradient->smoothness = std::clamp(r.u16("the gradient's smoothness") / 4096.0, 0.0, 1.0);
  std::stable_sort(gradient->colors.begin(), gradient->colors.end(), [](auto& a, auto& b) { return a.location < b.location; });
  s.gradient = std::move(gradient);
  return s;
}

void writeSettings(ByteWriter&, const engine::GradientMapSettings&) {}  // its block is all kept

engine::BlackAndWhiteSettings readBlackAndWhite(ByteReader r) {
  engine::BlackAndWhiteSettings s;
  if (r.u32("the black and white descriptor version") != 16) r.fail("its black and white settings are of an unknown version");
  const DescValue d = readDescriptorTree(r);
  const char* keys[6] = {"Rd  ", "Yllw", "Grn ", "Cyn ", "Bl  ", "Mgnt"};
  for (std::size_t i = 0; i < 6; ++i) {
    const double v = d.numberOr(keys[i], s.weights[i]);
    s.weights[i] = std::isfinite(v) ? std::clamp(v, -200.0, 300.0) : s.weights[i];
  }
  s.useTint = d.boolOr("useTint", false);
  s.tint = colorOf(d.find("tintColor"), engine::Rgb{225, 211, 179});
  return s;
}

void writeSettings(ByteWriter&, const engine::BlackAndWhiteSettings&) {}  // its block is all kept

void writeSettings(ByteWriter& w, const engine::BrightnessContrastSettings& s) {
  w.i16(s.brightness);
  w.i16(s.contrast);
}

// Newer files keep brightness/contrast in a descriptor for a different curve, and the legacy
// block only for older readers, unless the descriptor says the legacy curve is in use.
bool usesLegacyBrightness(const engine::LayerNode& node) {
  const engine::TaggedBlock* modern = findBlock(node.extraBlocks, {"CgEd"});
  if (!modern) return true;
  static constexpr std::string_view kLegacyFlag = "useLegacybool";
  const auto at = std::search(modern->data->begin(), modern->data->end(), kLegacyFlag.begin(), kLegacyFlag.end());
  return std::distance(at, modern->data->end()) > std::ptrdiff_t(kLegacyFlag.size()) &&
         *(at + std::ptrdiff_t(kLegacyFlag.size())) != 0;
}

std::optional<engine::AdjustmentSettings> readAdjustment(std::string_view key, ByteReader& r) {
  std::optional<engine::AdjustmentSettings> out;
  if (key == "curv") out = readCurves(r);
  else if (key == "levl") out = readLevels(r);
  else if (key == "post") out = engine::PosterizeSettings{r.u16("posterize levels"), {}};
  else if (key == "thrs") out = engine::ThresholdSettings{r.u16("a threshold"), {}};
  else if (key == "expA") out = readExposure(r);
  else if (key == "hue2" || key == "hue ") {
    engine::HueSaturationSettings s = readHueSaturation(r);
    s.photoshop4 = key == "hue ";
    out = std::move(s);
  }
  else if (key == "brit") out = engine::BrightnessContrastSettings{r.i16("a brightness"), r.i16("a contrast"), {}};
  else if (key == "mixr") out = readChannelMixer(r);
  else if (key == "grdm") out = readGradientMap(r);  // reads a copy: the whole block is kept
  else if (key == "blwh") out = readBlackAndWhite(r);  // so does this
  if (out) std::visit([&](auto& s) { s.kept = rest(r); }, *out);
  return out;
}

// The layer's switches, each a block whose first byte says whether it is on; written only when on.
constexpr std::pair<const char*, bool engine::LayerNode::*> kSwitches[] = {
    {"knko", &engine::LayerNode::knockout},
    {"lmgm", &engine::LayerNode::layerMaskHidesEffects},
    {"vmgm", &engine::LayerNode::vectorMaskHidesEffects},
    {"infx", &engine::LayerNode::blendInteriorEffectsAsGroup},
};

// Reads the block into the layer's fields; false when it is not one of them or cannot be read.
bool interpret(engine::LayerNode& node, const engine::TaggedBlock& b, bool legacyBrightness, const std::string& fileName) {
  const std::string_view key = keyView(b.key);
  ByteReader r(*b.data, fileName);
  try {
    if ((key == "vmsk" || key == "vsms") && !node.vectorMask) {
      node.vectorMask = std::make_shared<const engine::VectorPath>(readVectorPath(r, key == "vsms"));
      return true;
    }
    for (const auto& [switchKey, field] : kSwitches)
      if (key == switchKey && !b.data->empty()) {
        node.*field = (*b.data)[0] != 0;
        return true;
      }
    if (node.isSet || node.adjustment || kindOfBlock(key) != node.kind) return false;
    if (key == "brit" && !legacyBrightness) return false;
    if (auto settings = readAdjustment(key, r)) {
      node.adjustment = std::make_shared<const engine::AdjustmentSettings>(std::move(*settings));
      return true;
    }
  } catch (const FormatError&) {
    // Kept as read: written back unchanged, and the layer goes without the setting.
  }
  return false;
}

// The colour channels a layer does not blend into ('brst': a list of 4-byte channel numbers,
// 0 red to 2 blue); numbers it does not know are left out.
std::uint8_t restrictedChannels(const std::vector<std::uint8_t>& data) {
  std::uint8_t kept = 0;
  for (std::size_t at = 0; at + 4 <= data.size(); at += 4) {
    const std::uint32_t channel = loadU32(data.data() + at);
    if (channel < 3) kept = std::uint8_t(kept | 1u << channel);
  }
  return kept;
}

// A coordinate of an artboard's rectangle; files hold them as doubles.
int artboardCoordinate(const DescValue& rect, const char* key) {
  const double v = rect.numberOr(key, 0.0);
  return std::isfinite(v) ? int(std::lround(std::clamp(v, -1e7, 1e7))) : 0;
}

// An artboard's rectangle and background ('artb'; older files 'artd' or 'abdd'). Nothing when
// the block cannot be read: the set is then drawn as a plain set.
std::optional<engine::Artboard> readArtboard(const engine::TaggedBlock& b, const std::string& fileName) {
  try {
    ByteReader r(*b.data, fileName);
    r.skip(4, "the artboard's descriptor version");
    const DescValue d = readDescriptorTree(r);
    const DescValue* rect = d.find("artboardRect");
    if (!rect) return std::nullopt;
    engine::Artboard board;
    board.rect = {artboardCoordinate(*rect, "Left"), artboardCoordinate(*rect, "Top "),
                  artboardCoordinate(*rect, "Rght"), artboardCoordinate(*rect, "Btom")};
    switch (int(d.numberOr("artboardBackgroundType", 1))) {
      case 2: board.background = engine::Rgb{0, 0, 0}; break;
      case 3: break;  // transparent
      case 4: board.background = colorOf(d.find("Clr "), {255, 255, 255}); break;
      default: board.background = engine::Rgb{255, 255, 255};
    }
    return board;
  } catch (const FormatError&) {
    return std::nullopt;
  }
}

engine::BlockTie tieOf(std::string_view key) {
  if (key == "vmsk" || key == "vsms" || key == "vogk") return engine::BlockTie::VectorMask;
  if (isEffectsBlock(key)) return engine::BlockTie::Style;
  if (kindOfBlock(key)) return engine::BlockTie::Kind;
  return engine::BlockTie::None;
}

}  // namespace

void interpretLayerBlocks(engine::LayerNode& node, const std::string& fileName) {
  const bool legacyBrightness = usesLegacyBrightness(node);
  std::vector<engine::TaggedBlock> kept;
  for (engine::TaggedBlock& b : node.extraBlocks) {
    if (b.data && interpret(node, b, legacyBrightness, fileName)) continue;
    b.tie = tieOf(keyView(b.key));
    const std::string_view key = keyView(b.key);
    if (key == "vscg") node.vectorContent = true;
    if (node.isSet && (key == "artb" || key == "artd" || key == "abdd") && b.data) node.artboard = readArtboard(b, fileName);
    if (key == "brst" && b.data) node.keptChannels = restrictedChannels(*b.data);
    kept.push_back(std::move(b));
  }
  node.extraBlocks = std::move(kept);
}

namespace {

// The key a setting is written under: its kind's, or the older key it was read from.
template <class Settings>
const char* blockKeyOf(const Settings&) {
  return blockKeyOfKind(Settings::kind);
}
const char* blockKeyOf(const engine::HueSaturationSettings& s) { return s.photoshop4 ? "hue " : "hue2"; }

}  // namespace

std::vector<std::pair<BlockKey, std::vector<std::uint8_t>>> layerSettingsBlocks(const engine::LayerNode& node) {
  std::vector<std::pair<BlockKey, std::vector<std::uint8_t>>> out;
  if (node.vectorMask) {
    ByteWriter w;
    writeVectorPath(w, *node.vectorMask);
    out.push_back({blockKey(node.vectorMask->shapeSettings ? "vsms" : "vmsk"), std::move(w.buffer())});
  }
  if (node.adjustment && !node.isSet) {
    std::visit(
        [&](const auto& s) {
          const engine::LayerKind kind = std::decay_t<decltype(s)>::kind;
          if (kind != node.kind) return;
          ByteWriter w;
          writeSettings(w, s);
          w.bytes(s.kept);
          out.push_back({blockKey(blockKeyOf(s)), std::move(w.buffer())});
        },
        *node.adjustment);
  }
  for (const auto& [key, field] : kSwitches)
    if (node.*field) out.push_back({blockKey(key), {1, 0, 0, 0}});
  return out;
}

}  // namespace formats
