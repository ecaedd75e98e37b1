#include "formats/layer_effects_reader.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "formats/byte_reader.h"
#include "formats/descriptor_tree.h"
#include "formats/layer_blocks.h"
#include "formats/pattern_blocks.h"

namespace formats {

namespace {

using engine::BlendMode;

BlendMode blendModeOf(const std::string& key, BlendMode fallback) {
  static const std::pair<const char*, BlendMode> modes[] = {
      {"Nrml", BlendMode::Normal}, {"Dslv", BlendMode::Dissolve}, {"Drkn", BlendMode::Darken},
      {"Mltp", BlendMode::Multiply}, {"CBrn", BlendMode::ColorBurn}, {"linearBurn", BlendMode::LinearBurn},
      {"darkerColor", BlendMode::DarkerColor}, {"Lghn", BlendMode::Lighten}, {"Scrn", BlendMode::Screen},
      {"CDdg", BlendMode::ColorDodge}, {"linearDodge", BlendMode::LinearDodge},
      {"lighterColor", BlendMode::LighterColor}, {"Ovrl", BlendMode::Overlay}, {"SftL", BlendMode::SoftLight},
      {"HrdL", BlendMode::HardLight}, {"vividLight", BlendMode::VividLight}, {"linearLight", BlendMode::LinearLight},
      {"pinLight", BlendMode::PinLight}, {"hardMix", BlendMode::HardMix}, {"Dfrn", BlendMode::Difference},
      {"Xclu", BlendMode::Exclusion}, {"blendSubtraction", BlendMode::Subtract}, {"blendDivide", BlendMode::Divide},
      {"H   ", BlendMode::Hue}, {"Strt", BlendMode::Saturation}, {"Clr ", BlendMode::Color},
      {"Lmns", BlendMode::Luminosity}};
  for (const auto& [k, mode] : modes)
    if (key == k) return mode;
  return fallback;
}

double percent(const DescValue& d, const char* key, double fallbackPercent) {
  return d.numberOr(key, fallbackPercent) / 100.0;
}

void readBase(const DescValue& d, engine::EffectBase& e, BlendMode mode) {
  e.enabled = d.boolOr("enab", true);
  e.mode = blendModeOf(d.enumOr("Md  ", ""), mode);
  e.opacity = std::clamp(percent(d, "Opct", 100), 0.0, 1.0);
}

// Spread and choke, a percentage of the size (whatever unit the file gives it).
double spreadOf(const DescValue& d) { return std::clamp(percent(d, "Ckmt", 0), 0.0, 1.0); }

// A contour (a 'ShpC' object): its curve's points, each smooth unless marked as a corner
// ('Cnty' false). A missing or broken one is linear.
engine::Contour contourOf(const DescValue* c) {
  const DescValue* curve = c && c->type == DescValue::Type::Object ? c->find("Crv ") : nullptr;
  if (!curve || curve->type != DescValue::Type::List) return {};
  std::vector<engine::ContourPoint> points;
  for (const DescValue& p : curve->list) {
    if (p.type != DescValue::Type::Object) continue;
    const double x = p.numberOr("Hrzn", -1), y = p.numberOr("Vrtc", -1);
    if (!(x >= 0 && x <= 255 && y >= 0 && y <= 255)) return {};
    points.push_back({x, y, !p.boolOr("Cnty", true)});
  }
  return engine::Contour(std::move(points));
}

double angleOf(const DescValue& d, const GlobalLight& light) {
  return d.boolOr("uglg", false) ? light.angle : d.numberOr("lagl", light.angle);
}

// Whether every colour stop of a gradient ('Grdn') is given in L*a*b*.
bool stopsInLab(const DescValue* g) {
  const DescValue* colors = g ? g->find("Clrs") : nullptr;
  return colors && !colors->list.empty() && std::all_of(colors->list.begin(), colors->list.end(), [](const DescValue& s) {
           const DescValue* c = s.find("Clr ");
           return c && c->type == DescValue::Type::Object && c->text == "LbCl";
         });
}

// A gradient's stops, sorted by location; their colours in sRGB, or as the L*a*b* they are
// given in (`lab`, for stops that all are).
engine::EffectGradient gradientOf(const DescValue* g, bool lab = false) {
  engine::EffectGradient out;
  if (!g || g->type != DescValue::Type::Object) return out;
  const auto location = [](const DescValue& s) { return std::clamp(s.numberOr("Lctn", 0) / 4096.0, 0.0, 1.0); };
  const auto midpoint = [](const DescValue& s) { return std::clamp(s.numberOr("Mdpn", 50) / 100.0, 0.0, 1.0); };
  const auto color = [lab](const DescValue* c) {
    if (lab) return engine::ColorF{c->numberOr("Lmnc", 0), c->numberOr("A   ", 0), c->numberOr("B   ", 0)};
    return exactColorOf(c).value_or(engine::ColorF{});
  };
  if (const DescValue* colors = g->find("Clrs"))
    for (const DescValue& s : colors->list) out.colors.push_back({location(s), color(s.find("Clr ")), midpoint(s)});
  if (const DescValue* stops = g->find("Trns"))
    for (const DescValue& s : stops->list)
      out.opacities.push_back({location(s), std::clamp(s.numberOr("Opct", 100) / 100.0, 0.0, 1.0), midpoint(s)});
  out.smoothness = std::clamp(g->numberOr("Intr", 0) / 4096.0, 0.0, 1.0);
  std::stable_sort(out.colors.begin(), out.colors.end(), [](auto& a, auto& b) { return a.location < b.location; });
  std::stable_sort(out.opacities.begin(), out.opacities.end(), [](auto& a, auto& b) { return a.location < b.location; });
  return out;
}

engine::GradientStyle gradientStyleOf(const std::string& key) {
  if (key == "Rdl ") return engine::GradientStyle::Radial;
  if (key == "Angl") return engine::GradientStyle::Angle;
  if (key == "Rflc") return engine::GradientStyle::Reflected;
  if (key == "Dmnd") return engine::GradientStyle::Diamond;
  return engine::GradientStyle::Linear;
}

void readGradientFill(const DescValue& d, engine::EffectFill& f, bool lab = false) {
  f.kind = engine::EffectFill::Kind::Gradient;
  f.gradient = gradientOf(d.find("Grad"), lab);
  f.style = gradientStyleOf(d.enumOr("Type", "Lnr "));
  f.angle = d.numberOr("Angl", 90);
  f.scale = percent(d, "Scl ", 100);
  f.reverse = d.boolOr("Rvrs", false);
  f.alignWithLayer = d.boolOr("Algn", true);
  if (const DescValue* o = d.find("Ofst")) {
    f.offsetX = o->numberOr("Hrzn", 0);
    f.offsetY = o->numberOr("Vrtc", 0);
  }
}

engine::ShadowEffect shadowOf(const DescValue& d, const GlobalLight& light, BlendMode mode) {
  engine::ShadowEffect s;
  readBase(d, s, mode);
  s.color = colorOf(d.find("Clr "), {});
  s.angle = angleOf(d, light);
  s.distance = d.numberOr("Dstn", 0);
  s.size = std::max(0.0, d.numberOr("blur", 0));
  s.spread = spreadOf(d);
  s.knocksOut = d.boolOr("layerConceals", true);
  s.contour = contourOf(d.find("TrnS"));
  return s;
}

engine::GlowEffect glowOf(const DescValue& d, BlendMode mode) {
  engine::GlowEffect g;
  readBase(d, g, mode);
  if (d.find("Grad")) readGradientFill(d, g.fill);
  g.fill.kind = d.find("Clr ") || !d.find("Grad") ? engine::EffectFill::Kind::Color : engine::EffectFill::Kind::Gradient;
  g.fill.color = colorOf(d.find("Clr "), {255, 255, 190});
  g.size = std::max(0.0, d.numberOr("blur", 0));
  g.spread = spreadOf(d);
  g.fromCenter = d.enumOr("glwS", "SrcE") == "SrcC";
  if (d.enumOr("GlwT", "SfBL") == "PrBL") g.technique = engine::GlowEffect::Technique::Precise;
  g.range = std::clamp(percent(d, "Inpr", 50), 0.01, 1.0);
  g.contour = contourOf(d.find("TrnS"));
  return g;
}

// A pattern fill's tile, scale and phase; no tile when the file does not hold the pattern.
void readPatternFill(const DescValue& d, const Patterns& patterns, engine::EffectFill& f) {
  f.kind = engine::EffectFill::Kind::Pattern;
  f.scale = percent(d, "Scl ", 100);
  f.alignWithLayer = d.boolOr("Algn", true);
  if (const DescValue* phase = d.find("phase")) {
    f.offsetX = phase->numberOr("Hrzn", 0);
    f.offsetY = phase->numberOr("Vrtc", 0);
  }
  const DescValue* p = d.find("Ptrn");
  const DescValue* id = p ? p->find("Idnt") : nullptr;
  if (!id || id->type != DescValue::Type::Text) return;
  std::string key = id->text;
  while (!key.empty() && key.back() == '\0') key.pop_back();
  if (const auto it = patterns.find(key); it != patterns.end()) f.pattern = it->second;
}

engine::StrokeEffect strokeOf(const DescValue& d, const Patterns& patterns) {
  engine::StrokeEffect s;
  readBase(d, s, BlendMode::Normal);
  const std::string style = d.enumOr("Styl", "OutF");
  s.position = style == "InsF"   ? engine::StrokeEffect::Position::Inside
               : style == "CtrF" ? engine::StrokeEffect::Position::Center
                                 : engine::StrokeEffect::Position::Outside;
  s.size = std::max(0.0, d.numberOr("Sz  ", 1));
  const std::string paint = d.enumOr("PntT", "SClr");
  if (paint == "GrFl") readGradientFill(d, s.fill);
  if (paint == "Ptrn") readPatternFill(d, patterns, s.fill);
  s.fill.color = colorOf(d.find("Clr "), {});
  return s;
}

engine::BevelEffect bevelOf(const DescValue& d, const GlobalLight& light) {
  using B = engine::BevelEffect;
  B b;
  b.enabled = d.boolOr("enab", true);
  const std::string style = d.enumOr("bvlS", "InrB");
  b.style = style == "OtrB" ? B::Style::OuterBevel : style == "Embs" ? B::Style::Emboss
            : style == "PlEb" ? B::Style::PillowEmboss : style == "strokeEmboss" ? B::Style::StrokeEmboss
                              : B::Style::InnerBevel;
  const std::string technique = d.enumOr("bvlT", "SfBL");
  b.technique = technique == "PrBL" ? B::Technique::ChiselHard : technique == "Slmt" ? B::Technique::ChiselSoft
                                                                                     : B::Technique::Smooth;
  b.depth = percent(d, "srgR", 100);
  b.up = d.enumOr("bvlD", "In  ") != "Out ";
  b.size = std::max(0.0, d.numberOr("blur", 5));
  b.soften = std::max(0.0, d.numberOr("Sftn", 0));
  b.angle = angleOf(d, light);
  b.altitude = d.boolOr("uglg", false) ? light.altitude : d.numberOr("Lald", light.altitude);
  b.highlightMode = blendModeOf(d.enumOr("hglM", ""), BlendMode::Screen);
  b.highlightColor = colorOf(d.find("hglC"), {255, 255, 255});
  b.highlightOpacity = std::clamp(percent(d, "hglO", 75), 0.0, 1.0);
  b.shadowMode = blendModeOf(d.enumOr("sdwM", ""), BlendMode::Multiply);
  b.shadowColor = colorOf(d.find("sdwC"), {});
  b.shadowOpacity = std::clamp(percent(d, "sdwO", 75), 0.0, 1.0);
  if (d.boolOr("useShape", false)) b.profile = contourOf(d.find("MpgS"));
  b.gloss = contourOf(d.find("TrnS"));
  return b;
}

engine::SatinEffect satinOf(const DescValue& d, const GlobalLight& light) {
  engine::SatinEffect s;
  readBase(d, s, BlendMode::Multiply);
  s.color = colorOf(d.find("Clr "), {});
  s.angle = d.numberOr("lagl", light.angle);
  s.distance = d.numberOr("Dstn", 11);
  s.size = std::max(0.0, d.numberOr("blur", 14));
  s.invert = d.boolOr("Invr", true);
  s.contour = contourOf(d.find("MpgS"));
  return s;
}

engine::OverlayEffect overlayOf(const DescValue& d, engine::EffectFill::Kind kind, const Patterns& patterns = {}) {
  engine::OverlayEffect o;
  readBase(d, o, BlendMode::Normal);
  if (kind == engine::EffectFill::Kind::Gradient) readGradientFill(d, o.fill);
  if (kind == engine::EffectFill::Kind::Pattern) readPatternFill(d, patterns, o.fill);
  o.fill.kind = kind;
  o.fill.color = colorOf(d.find("Clr "), {});
  return o;
}

// Calls `read` for the one effect under `single` or each one under `multi`.
template <class F>
void eachEffect(const DescValue& root, const char* single, const char* multi, F&& read) {
  if (const DescValue* list = root.find(multi); list && list->type == DescValue::Type::List) {
    for (const DescValue& d : list->list)
      if (d.type == DescValue::Type::Object) read(d);
  } else if (const DescValue* d = root.find(single); d && d->type == DescValue::Type::Object) {
    read(*d);
  }
}

// The layer's effects reference point ('fxrp': two doubles, x then y), where patterns linked
// with the layer start their tiling; the document's origin when there is none.
std::pair<double, double> referencePoint(const engine::LayerNode& node) {
  const engine::TaggedBlock* b = findBlock(node.extraBlocks, {"fxrp"});
  if (!b || !b->data || b->data->size() < 16) return {0.0, 0.0};
  ByteReader r(*b->data, "");
  const double x = r.f64("a reference point"), y = r.f64("a reference point");
  const auto usable = [](double v) { return std::isfinite(v) && std::fabs(v) < 1e7 ? v : 0.0; };
  return {usable(x), usable(y)};
}

// Patterns linked with the layer are tiled from its reference point.
void anchorPattern(engine::EffectFill& f, const std::pair<double, double>& at) {
  if (f.kind != engine::EffectFill::Kind::Pattern || !f.alignWithLayer) return;
  f.offsetX += at.first;
  f.offsetY += at.second;
}

void anchorPatterns(engine::LayerEffects& fx, const std::pair<double, double>& at) {
  for (auto& o : fx.patternOverlays) anchorPattern(o.fill, at);
  for (auto& s : fx.strokes) anchorPattern(s.fill, at);
}

// A gradient or pattern fill layer's settings ('GdFl', 'PtFl': a version, then a descriptor
// like an overlay's), for drawing the layer when the file holds no pixels for it.
void attachFillContent(engine::LayerNode& node, const std::string& name, const Patterns& patterns,
                       engine::EffectFill::Mixing mixing) {
  const bool gradient = node.kind == engine::LayerKind::GradientFill;
  if (node.isSet || (!gradient && node.kind != engine::LayerKind::PatternFill)) return;
  const engine::TaggedBlock* b = findBlock(node.extraBlocks, {gradient ? "GdFl" : "PtFl"});
  if (!b || !b->data) return;
  try {
    ByteReader r(*b->data, name);
    r.skip(4, "the fill's descriptor version");
    const DescValue d = readDescriptorTree(r);
    using Mixing = engine::EffectFill::Mixing;
    // A Lab document's stops mix in Lab when they are all given so.
    const bool lab = gradient && mixing == Mixing::Lab && stopsInLab(d.find("Grad"));
    engine::EffectFill fill;
    if (gradient)
      readGradientFill(d, fill, lab);
    else
      readPatternFill(d, patterns, fill);
    anchorPattern(fill, referencePoint(node));
    fill.mixing = mixing == Mixing::Lab && !lab ? Mixing::Srgb : mixing;
    if (gradient ? !fill.gradient.colors.empty() : !fill.pattern.empty())
      node.fillContent = std::make_shared<const engine::EffectFill>(std::move(fill));
  } catch (const FormatError&) {
    // Kept in the file; the layer shows the pixels it holds.
  }
}

}  // namespace

GlobalLight globalLightOf(const std::vector<engine::ImageResource>& resources) {
  GlobalLight light;
  for (const engine::ImageResource& r : resources) {
    if (!r.data || r.data->size() < 4) continue;
    const std::int32_t v = std::int32_t(loadU32(r.data->data()));
    if (r.id == 1037) light.angle = v;
    if (r.id == 1049) light.altitude = v;
  }
  return light;
}

engine::LayerEffects readLayerEffects(std::span<const std::uint8_t> block, const GlobalLight& light,
                                      const std::string& name, const Patterns& patterns) {
  ByteReader r(block, name);
  r.skip(8, "the effects' versions");
  const DescValue root = readDescriptorTree(r);
  engine::LayerEffects fx;
  using Kind = engine::EffectFill::Kind;
  eachEffect(root, "DrSh", "dropShadowMulti", [&](const DescValue& d) { fx.dropShadows.push_back(shadowOf(d, light, BlendMode::Multiply)); });
  eachEffect(root, "IrSh", "innerShadowMulti", [&](const DescValue& d) { fx.innerShadows.push_back(shadowOf(d, light, BlendMode::Multiply)); });
  eachEffect(root, "OrGl", "outerGlowMulti", [&](const DescValue& d) { fx.outerGlows.push_back(glowOf(d, BlendMode::Screen)); });
  eachEffect(root, "IrGl", "innerGlowMulti", [&](const DescValue& d) { fx.innerGlows.push_back(glowOf(d, BlendMode::Screen)); });
  eachEffect(root, "ebbl", "bevelEmbossMulti", [&](const DescValue& d) { fx.bevels.push_back(bevelOf(d, light)); });
  eachEffect(root, "ChFX", "satinMulti", [&](const DescValue& d) { fx.satins.push_back(satinOf(d, light)); });
  eachEffect(root, "SoFi", "solidFillMulti", [&](const DescValue& d) { fx.colorOverlays.push_back(overlayOf(d, Kind::Color)); });
  eachEffect(root, "GrFl", "gradientFillMulti", [&](const DescValue& d) { fx.gradientOverlays.push_back(overlayOf(d, Kind::Gradient)); });
  eachEffect(root, "patternFill", "patternFillMulti", [&](const DescValue& d) { fx.patternOverlays.push_back(overlayOf(d, Kind::Pattern, patterns)); });
  eachEffect(root, "FrFX", "frameFXMulti", [&](const DescValue& d) { fx.strokes.push_back(strokeOf(d, patterns)); });
  // The style's scale ('Scl ') is already applied to the sizes the file stores.
  return fx;
}

void attachLayerEffects(engine::DocumentContent& content, const std::string& name, engine::EffectFill::Mixing fills) {
  const GlobalLight light = globalLightOf(content.resources);
  Patterns patterns;
  for (const engine::TaggedBlock& b : content.extraBlocks) {
    const std::string_view key(b.key.data(), 4);
    if ((key != "Patt" && key != "Pat2" && key != "Pat3") || !b.data) continue;
    try {
      patterns.merge(readPatterns(*b.data, name));
    } catch (const FormatError&) {
      // Patterns that cannot be read are kept in the file; what uses them is not drawn.
    }
  }
  engine::forEachLayer(content.layers, [&](engine::LayerNode& node) {
    attachFillContent(node, name, patterns, fills);
    const engine::TaggedBlock* b = node.hasStyle ? findBlock(node.extraBlocks, {"lfx2", "lmfx", "lfxs"}) : nullptr;
    if (!b) return;
    try {
      engine::LayerEffects fx = readLayerEffects(*b->data, light, name, patterns);
      anchorPatterns(fx, referencePoint(node));
      node.effects = std::make_shared<const engine::LayerEffects>(std::move(fx));
    } catch (const FormatError&) {
      node.effects.reset();  // kept in the file, not drawn
    }
  });
}

}  // namespace formats
