// Adjustment layers: their settings read from the file's blocks, and how they change what lies
// below them.

#include <gtest/gtest.h>

#include <array>
#include <bit>

#include "engine/adjustments.h"
#include "engine/composite.h"
#include "engine_fixtures.h"
#include "formats/sample_documents.h"
#include "layer_blocks_fixtures.h"

using namespace engine;
using fixtures::BlockBytes;
using fixtures::mergedAt;
using fixtures::strip;

namespace {

LayerNode adjustment(LayerKind kind, const char* key, std::vector<std::uint8_t> data) {
  LayerNode n = LayerNode::artLayer("adjustment");
  n.kind = kind;
  fixtures::addBlock(n, key, std::move(data));
  return n;
}

Rgb adjusted(const LayerNode& a, Rgb below) { return mergedAt({a, strip(below)}); }

// Curves with the composite curve only.
std::vector<std::uint8_t> curve(const std::vector<std::pair<int, int>>& points) {
  BlockBytes b;
  b.u8(0).u16(1).u32(1).u16(int(points.size()));
  for (const auto& [in, out] : points) b.u16(out).u16(in);
  return b.bytes;
}

struct HueRange {
  int start, fullStart, fullEnd, end;  // degrees
  int hue, saturation, lightness;
};

// Master settings, or with `colorize` the colour given to everything.
LayerNode hueSaturation(int hue, int saturation, int lightness, const std::vector<HueRange>& ranges = {},
                        bool colorize = false, const char* key = "hue2") {
  BlockBytes b;
  b.u16(2).u8(colorize).u8(0).zeros(colorize ? 0 : 6).u16(hue).u16(saturation).u16(lightness).zeros(colorize ? 6 : 0);
  for (const HueRange& r : ranges)
    b.u16(r.start).u16(r.fullStart).u16(r.fullEnd).u16(r.end).u16(r.hue).u16(r.saturation).u16(r.lightness);
  b.zeros(14 * (6 - int(ranges.size())));  // six ranges in all
  return adjustment(LayerKind::HueSaturation, key, b.bytes);
}

HueRange reds(int hue, int saturation, int lightness) { return {315, 345, 15, 45, hue, saturation, lightness}; }

}  // namespace

TEST(Adjustments, CurvesLevelsPosterizeThresholdInvertExposureColorizeAndBrightnessContrastButNotUnreadableSettings) {
  const LayerNode inverse = adjustment(LayerKind::Curves, "curv", curve({{0, 255}, {255, 0}}));
  EXPECT_EQ(adjusted(inverse, {10, 100, 250}), (Rgb{245, 155, 5}));
  const LayerNode bend = adjustment(LayerKind::Curves, "curv", curve({{0, 0}, {128, 200}, {255, 255}}));
  EXPECT_EQ(adjusted(bend, {128, 0, 255}), (Rgb{200, 0, 255}));
  EXPECT_GT(adjusted(bend, {64, 64, 64}).r, 110) << "a smooth curve through the points, not straight lines";

  BlockBytes levels;
  levels.u16(2).u16(50).u16(200).u16(0).u16(255).u16(100);  // composite: input 50..200
  for (int i = 0; i < 28; ++i) levels.u16(0).u16(255).u16(0).u16(255).u16(100);
  const LayerNode lv = adjustment(LayerKind::Levels, "levl", levels.bytes);
  EXPECT_EQ(adjusted(lv, {50, 125, 200}), (Rgb{0, 128, 255}));
  // A gamma of 2 is drawn in straight lines between sixteenths of the input: 8 rises to 32,
  // where the power would reach 45, and mid-grey lands where the power puts it.
  BlockBytes brighter;
  brighter.u16(2).u16(0).u16(255).u16(0).u16(255).u16(200);
  for (int i = 0; i < 28; ++i) brighter.u16(0).u16(255).u16(0).u16(255).u16(100);
  EXPECT_EQ(adjusted(adjustment(LayerKind::Levels, "levl", brighter.bytes), {8, 128, 255}), (Rgb{32, 181, 255}));

  EXPECT_EQ(adjusted(adjustment(LayerKind::Posterize, "post", {0, 2, 0, 0}), {100, 127, 128}), (Rgb{0, 0, 255}));
  const LayerNode threshold = adjustment(LayerKind::Threshold, "thrs", {0, 128, 0, 0});
  EXPECT_EQ(adjusted(threshold, {255, 100, 0}), (Rgb{255, 255, 255}));
  EXPECT_EQ(adjusted(threshold, {0, 100, 255}), (Rgb{0, 0, 0})) << "by luminance";
  LayerNode invert = LayerNode::artLayer("invert");
  invert.kind = LayerKind::Inversion;
  EXPECT_EQ(adjusted(invert, {0, 100, 255}), (Rgb{255, 155, 0}));

  // Exposure, colorize and legacy brightness and contrast.
  const auto f32 = [](float v) { return std::bit_cast<std::uint32_t>(v); };
  const std::vector<std::uint8_t> exposure = BlockBytes().u16(1).u32(f32(-1.0f)).u32(0).u32(f32(1.0f)).u16(0).bytes;
  EXPECT_EQ(adjusted(adjustment(LayerKind::Exposure, "expA", exposure), {255, 255, 0}).r, 186) << "half the light";

  EXPECT_EQ(adjusted(hueSaturation(120, 100, 0, {}, true), {200, 100, 100}), (Rgb{45, 255, 45}))
      << "colorized: green at the pixel's lightness";
  EXPECT_EQ(adjusted(hueSaturation(100, 100, 0, {}, true, "hue "), {200, 100, 100}),
            adjusted(hueSaturation(180, 100, 0, {}, true), {200, 100, 100}))
      << "Photoshop 4's colorize hue runs -100..100";

  EXPECT_EQ(adjusted(adjustment(LayerKind::BrightnessContrast, "brit", {0, 20, 0, 0, 0, 127, 0}), {10, 100, 250}),
            (Rgb{30, 120, 255}));

  // Unreadable or unsupported settings change nothing.
  EXPECT_FALSE(adjustmentOf(adjustment(LayerKind::Curves, "curv", {0, 0})));
  EXPECT_FALSE(adjustmentOf(adjustment(LayerKind::Levels, "levl", {0, 2, 0, 200, 0, 100})));
  EXPECT_FALSE(adjustmentOf(adjustment(LayerKind::Posterize, "post", {0, 1, 0, 0})));
  EXPECT_FALSE(adjustmentOf(LayerNode::artLayer("pixels")));
  EXPECT_EQ(adjusted(adjustment(LayerKind::Vibrance, "vibA", {1, 2, 3}), {1, 2, 3}), (Rgb{1, 2, 3}));
}

// Each output channel mixes the inputs by its shares and adds its constant; monochrome gives
// every channel the first output's grey.
TEST(Adjustments, AChannelMixerMixesEachOutputFromTheInputsAndMonochromeMakesGrey) {
  const auto mixer = [](bool monochrome, const std::array<std::array<int, 5>, 3>& outputs) {
    BlockBytes b;
    b.u16(1).u16(monochrome);
    for (const auto& output : outputs)
      for (int share : output) b.u16(std::uint16_t(std::int16_t(share)));
    b.u16(0).u16(0).u16(0).u16(100).u16(0);  // black, unused in RGB
    return adjustment(LayerKind::ChannelMixer, "mixr", b.bytes);
  };
  // Red from blue, green halved plus a tenth of white, blue from red less green.
  const LayerNode swap = mixer(false, {{{0, 0, 100, 0, 0}, {0, 50, 0, 0, 10}, {100, -100, 0, 0, 0}}});
  EXPECT_EQ(adjusted(swap, {200, 100, 30}), (Rgb{30, 76, 100}));
  EXPECT_EQ(adjusted(swap, {50, 255, 0}), (Rgb{0, 153, 0})) << "clipped at black";
  const LayerNode grey = mixer(true, {{{30, 60, 10, 0, 0}, {0, 100, 0, 0, 0}, {0, 0, 100, 0, 0}}});
  EXPECT_EQ(adjusted(grey, {200, 100, 50}), (Rgb{125, 125, 125}));
}

// A gradient map colours each pixel by its luminance: red at black to white at white here,
// mixed in sRGB, or in linear light by the linear method; reversed, black takes white.
TEST(Adjustments, AGradientMapColoursByLuminanceAlongItsGradient) {
  const auto map = [](int version, const char* method, bool reverse) {
    BlockBytes b;
    b.u16(std::uint16_t(version)).u8(reverse).u8(0);
    if (version == 3) b.tag(method);
    b.u32(0).u16(2);                                                        // no name; two stops
    b.u32(0).u32(50).u16(0).u16(65535).u16(0).u16(0).u16(0).u16(0);         // red
    b.u32(4096).u32(50).u16(0).u16(65535).u16(65535).u16(65535).u16(0).u16(0);  // white
    b.u16(0).u16(2).u16(0);                                                 // no opacity stops; not smoothed
    return adjustment(LayerKind::GradientMap, "grdm", b.bytes);
  };
  const LayerNode classic = map(1, "", false);
  EXPECT_EQ(adjusted(classic, {0, 0, 0}), (Rgb{255, 0, 0}));
  EXPECT_EQ(adjusted(classic, {128, 128, 128}), (Rgb{255, 128, 128}));
  EXPECT_EQ(adjusted(classic, {0, 255, 0}), adjusted(classic, {150, 150, 150})) << "by luminance";
  EXPECT_EQ(adjusted(map(1, "", true), {0, 0, 0}), (Rgb{255, 255, 255}));
  EXPECT_EQ(adjusted(map(3, "Lnr ", false), {128, 128, 128}), (Rgb{255, 188, 188}));
  EXPECT_FALSE(adjustmentOf(adjustment(LayerKind::GradientMap, "grdm", {0, 2, 0, 0}))) << "an unknown version";
}

// Black & white weighs the step from a pixel's darkest channel to its middle one by the
// secondary colour the two lightest make, and the step to its lightest by that one's primary.
TEST(Adjustments, BlackAndWhiteWeighsEachPixelsPrimaryAndSecondaryColour) {
  const auto blackAndWhite = [](int red, int yellow, bool tinted) {
    samples::DescriptorWriter d;
    d.w.u32(16);
    d.object("null", tinted ? 8 : 7);
    const std::pair<const char*, int> weights[] = {{"Rd  ", red}, {"Yllw", yellow}, {"Grn ", 40}, {"Cyn ", 60}, {"Bl  ", 20}, {"Mgnt", 80}};
    for (const auto& [key, v] : weights) d.integer(key, v);
    d.boolean("useTint", tinted);
    if (tinted) d.rgb("tintColor", 255, 0, 0);
    return adjustment(LayerKind::BlackAndWhite, "blwh", std::move(d.w.buffer()));
  };
  const LayerNode defaults = blackAndWhite(40, 60, false);
  EXPECT_EQ(adjusted(defaults, {255, 0, 0}), (Rgb{102, 102, 102}));   // red at 40 %
  EXPECT_EQ(adjusted(defaults, {255, 255, 0}), (Rgb{153, 153, 153}));  // yellow at 60 %
  EXPECT_EQ(adjusted(defaults, {90, 90, 90}), (Rgb{90, 90, 90}));     // a grey stays
  // Orange: 55 to its middle channel as yellow, 200 more as red.
  EXPECT_EQ(adjusted(blackAndWhite(100, 0, false), {255, 55, 0}), (Rgb{200, 200, 200}));
  const Rgb tinted = adjusted(blackAndWhite(40, 60, true), {90, 90, 90});
  EXPECT_GT(tinted.r, tinted.g) << "the tint colours the grey";
  EXPECT_EQ(tinted.g, tinted.b);
}

TEST(HueSaturation, MasterAndRangeSettingsTurnHueScaleSaturationAndMoveChannelsTowardsBlackOrWhite) {
  EXPECT_EQ(adjusted(hueSaturation(120, 0, 0), {200, 100, 100}), (Rgb{100, 200, 100}));
  EXPECT_EQ(adjusted(hueSaturation(0, -100, 0), {200, 100, 100}), (Rgb{150, 150, 150})) << "grey of equal lightness";
  EXPECT_EQ(adjusted(hueSaturation(0, 100, 0), {150, 100, 100}), (Rgb{250, 0, 0})) << "+100 saturates fully";
  EXPECT_EQ(adjusted(hueSaturation(0, 0, 50), {100, 50, 0}), (Rgb{178, 153, 128}));
  EXPECT_EQ(adjusted(hueSaturation(0, 0, -50), {100, 50, 0}), (Rgb{50, 25, 0}));

  // Colour ranges weigh in by hue and add up.
  const LayerNode greyReds = hueSaturation(0, 0, 0, {reds(0, -100, 0)});
  EXPECT_EQ(adjusted(greyReds, {200, 100, 100}), (Rgb{150, 150, 150}));
  EXPECT_EQ(adjusted(greyReds, {100, 200, 100}), (Rgb{100, 200, 100})) << "greens are not reds";
  // Hue 30 is half way down the ramp from 15 to 45, which Photoshop places half a degree on.
  EXPECT_EQ(adjusted(greyReds, {200, 150, 100}), (Rgb{174, 150, 126}));
  EXPECT_EQ(adjusted(hueSaturation(0, 0, 0, {reds(0, -50, 0), reds(0, -50, 0)}), {200, 100, 100}),
            (Rgb{150, 150, 150}));
  EXPECT_EQ(adjusted(hueSaturation(0, 0, 0, {reds(-120, 0, 0)}), {200, 100, 100}), (Rgb{100, 100, 200}));

  // A range's lightness moves the channels towards the lowest or highest of them.
  EXPECT_EQ(adjusted(hueSaturation(0, 0, 0, {reds(0, 0, -100)}), {200, 100, 100}), (Rgb{100, 100, 100}));
  EXPECT_EQ(adjusted(hueSaturation(0, 0, 0, {reds(0, 0, 100)}), {200, 100, 100}), (Rgb{200, 200, 200}));
  EXPECT_EQ(adjusted(hueSaturation(0, 0, -50, {reds(0, 0, -100)}), {200, 100, 100}), (Rgb{50, 50, 50}))
      << "then the master lightness";

  EXPECT_FALSE(adjustmentOf(hueSaturation(0, 0, 0, {reds(0, 150, 0)}))) << "beyond what Photoshop stores";
}

TEST(Adjustments, ApplyToWhatIsBelowKeepingItsCoverageAndAKnockoutLayerShowsTheSetsBackdrop) {
  const LayerNode inverse = adjustment(LayerKind::Curves, "curv", curve({{0, 255}, {255, 0}}));
  // Over a half-transparent layer: colour inverted, coverage unchanged; nothing appears where
  // nothing was.
  std::vector<LayerNode> stack{inverse, fixtures::solidLayer("below", {0, 0, 1, 1}, {0, 0, 0}, 128)};
  const Raster out = compositeLayers(stack, {0, 0, 2, 1});
  EXPECT_EQ(fixtures::rgbAt(out, 0, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(out.alphaAt(0, 0), 128);
  EXPECT_EQ(out.alphaAt(1, 0), 0);
  // At half opacity, and only inside a set it belongs to.
  stack[0].opacity = 128;
  EXPECT_EQ(mergedAt(stack), (Rgb{128, 128, 128}));
  std::vector<LayerNode> isolated{fixtures::layerSet(BlendMode::Normal, {inverse}), strip({0, 0, 0})};
  EXPECT_EQ(mergedAt(isolated), (Rgb{0, 0, 0}));
  isolated[0].blendMode = BlendMode::PassThrough;
  EXPECT_EQ(mergedAt(isolated), (Rgb{255, 255, 255}));

  // A knockout layer shows the set's backdrop through the layers below it.
  LayerNode top = fixtures::blended(strip({128, 128, 128}), BlendMode::Multiply);
  fixtures::addBlock(top, "knko", {1, 0, 0, 0});
  // The multiply meets the backdrop below the set, not the black layer it knocks out.
  EXPECT_EQ(mergedAt({fixtures::layerSet(BlendMode::PassThrough, {top, strip({0, 0, 0})}), strip({200, 200, 200})}),
            (Rgb{100, 100, 100}));
}
