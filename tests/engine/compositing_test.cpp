// Compositing: blend modes, opacity, groups, pass-through, clipping and masks.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/composite.h"
#include "engine/layer_blocks_fixtures.h"
#include "engine_fixtures.h"
#include "formats/layer_effects_reader.h"
#include "formats/sample_documents.h"

using namespace engine;
using fixtures::blended;
using fixtures::blendOne;
using fixtures::layerSet;
using fixtures::mergedAt;
using fixtures::rgbAt;
using fixtures::solidLayer;
using fixtures::strip;

namespace {

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255}, kGrey{128, 128, 128};

// A feathered step: the share of a Gaussian of deviation `sigma` that lies on the near side of an
// edge `distance` pixels away from the pixel's centre.
double featheredStep(double distance, double sigma) { return 0.5 * std::erfc(-distance / (sigma * std::sqrt(2.0))); }

// A layer over `layer` with a mask showing it left of x = `edge` over `maskRows`.
LayerNode maskedToTheLeft(const Rect& layer, int edge, int maskTop, int maskBottom) {
  LayerNode n = solidLayer("masked", layer, {10, 20, 30});
  n.mask.pixels = Mask({layer.left, maskTop, edge, maskBottom}, 0);
  std::uint8_t* m = n.mask.pixels.mutableData();
  std::fill(m, m + n.mask.pixels.bounds().area(), std::uint8_t(255));
  return n;
}

// An artboard block as Photoshop writes it: the rectangle and the background type (1 white,
// 2 black, 3 transparent, 4 the colour given).
std::vector<std::uint8_t> artboardBlock(const Rect& r, int background, Rgb colour) {
  samples::DescriptorWriter d;
  d.w.u32(16);
  d.object("artboard", 3);
  d.key("artboardRect");
  d.w.tag("Objc");
  d.object("classFloatRect", 4);
  d.real("Top ", r.top);
  d.real("Left", r.left);
  d.real("Btom", r.bottom);
  d.real("Rght", r.right);
  d.rgb("Clr ", colour.r, colour.g, colour.b);
  d.integer("artboardBackgroundType", background);
  return std::move(d.w.buffer());
}

}  // namespace

TEST(BlendModes, SeparableModesMatchTheirFormulasAndTheOthersKeepLuminosityOrColour) {
  const Rgb b{200, 100, 50}, s{100, 200, 25};
  for (const auto& [mode, want] :
       {std::pair{BlendMode::Normal, s}, {BlendMode::Darken, {100, 100, 25}}, {BlendMode::Lighten, {200, 200, 50}},
        {BlendMode::Multiply, {78, 78, 5}}, {BlendMode::Screen, {222, 222, 70}},
        {BlendMode::Difference, {100, 100, 25}}, {BlendMode::LinearDodge, {255, 255, 75}},
        {BlendMode::Subtract, {100, 0, 25}}})
    EXPECT_EQ(blendOne(mode, b, s), want) << int(mode);

  // Non-separable modes keep the backdrop's luminosity or colour.
  const Rgb color = blendOne(BlendMode::Color, kGrey, kRed), luminosity = blendOne(BlendMode::Luminosity, kRed, kGrey);
  EXPECT_GT(color.r, color.g);  // takes the red hue
  EXPECT_NEAR(0.3 * color.r + 0.59 * color.g + 0.11 * color.b, 128, 2);  // keeps grey's luminosity
  EXPECT_GT(luminosity.r, luminosity.g);
  EXPECT_EQ(blendOne(BlendMode::Saturation, kRed, kGrey), (Rgb{77, 77, 77}));  // no saturation: red's luminosity in grey
}

TEST(Groups, OpacityAndIsolationOfSetsPassThroughFadingBetweenBackdropAndResultAndClippingToABase) {
  // A set at 50 % over white: its member's colour at half strength.
  EXPECT_EQ(mergedAt({layerSet(BlendMode::Normal, {strip(kRed)}, 128), strip(kWhite)}), (Rgb{255, 127, 127}));

  // A multiply member inside an isolated (normal) set has nothing to multiply with: it shows
  // its own colour; in a pass-through set it multiplies with what lies below.
  std::vector<LayerNode> a{layerSet(BlendMode::Normal, {blended(strip(kGrey), BlendMode::Multiply)}),
                           strip({200, 200, 200})};
  EXPECT_EQ(mergedAt(a), kGrey);
  a[0].blendMode = BlendMode::PassThrough;
  EXPECT_EQ(mergedAt(a), (Rgb{100, 100, 100}));

  // A pass-through set fades between the backdrop and its result.
  std::vector<LayerNode> faded{layerSet(BlendMode::PassThrough, {blended(strip({0, 0, 0}), BlendMode::Multiply)}, 128),
                               strip({200, 200, 200}, 2)};
  EXPECT_EQ(mergedAt(faded, 0), (Rgb{100, 100, 100}));
  EXPECT_EQ(mergedAt(faded, 1), (Rgb{200, 200, 200}));
  faded[0].mask.pixels = Mask({0, 0, 1, 1}, 255);  // black where the member is: nothing shows
  EXPECT_EQ(mergedAt(faded), (Rgb{200, 200, 200}));

  // Clipped layers show only over the base, taking on its blend mode and opacity.
  std::vector<LayerNode> stack{strip(kBlue, 4), strip(kRed, 2)};
  stack[0].clipping = true;
  const Raster out = compositeLayers(stack, {0, 0, 4, 1});
  EXPECT_EQ(rgbAt(out, 1, 0), kBlue);
  EXPECT_EQ(out.alphaAt(3, 0), 0);
  stack[1].visible = false;  // a hidden base hides its clipped layers too
  EXPECT_EQ(compositeLayers(stack, {0, 0, 4, 1}).alphaAt(1, 0), 0);

  // A white multiply base with a red layer clipped to it multiplies the red onto the grey below.
  std::vector<LayerNode> tinted{strip(kRed), blended(strip(kWhite), BlendMode::Multiply), strip({200, 200, 200})};
  tinted[0].clipping = true;
  EXPECT_EQ(mergedAt(tinted), (Rgb{200, 0, 0}));
  tinted[1].opacity = 128;
  EXPECT_EQ(mergedAt(tinted), (Rgb{200, 100, 100}));
  // Fill opacity of the base hides only the base's own colour, not the clipped layers.
  tinted[1] = strip(kWhite);
  tinted[1].fillOpacity = 0;
  tinted[0].opacity = 128;
  EXPECT_EQ(mergedAt(tinted), (Rgb{228, 100, 100}));

  // A pass-through base lets its members and the clipped layers blend with what is below.
  // White only on the left; the set's red exclusion layer covers both pixels; green lighter
  // colour is clipped to the set.
  std::vector<LayerNode> passing{blended(strip({0, 255, 0}, 2), BlendMode::LighterColor),
                                 layerSet(BlendMode::PassThrough, {blended(strip(kRed, 2), BlendMode::Exclusion)}),
                                 strip(kWhite)};
  passing[0].clipping = true;
  EXPECT_EQ(mergedAt(passing, 0), (Rgb{0, 255, 255})) << "cyan from the exclusion is lighter than green";
  EXPECT_EQ(mergedAt(passing, 1), (Rgb{0, 255, 0})) << "green is lighter than red";
}

TEST(Masks, ALayerMaskHidesWhereItIsBlackAndItsFeatherIsABoundedGaussianAsWideAsTheRadius) {
  LayerNode plain = solidLayer("masked", {0, 0, 2, 1}, {10, 20, 30});
  plain.mask.pixels = Mask({1, 0, 2, 1}, 255);  // inside its bounds black, outside white
  const Raster hidden = compositeLayers({plain}, {0, 0, 2, 1});
  EXPECT_EQ(hidden.alphaAt(0, 0), 255);
  EXPECT_EQ(hidden.alphaAt(1, 0), 0);
  plain.mask.disabled = true;
  EXPECT_EQ(compositeLayers({plain}, {0, 0, 2, 1}).alphaAt(1, 0), 255);

  // Feathered.
  const Rect area{0, 0, 60, 40};
  LayerNode layer = maskedToTheLeft(area, 30, 0, 40);
  layer.mask.feather = 4.0;
  Raster out = compositeLayers({layer}, area);
  for (int x : {22, 27, 29, 30, 31, 34, 38})
    EXPECT_NEAR(out.alphaAt(x, 20), 255.0 * featheredStep(29.5 - x, 4.0), 1.5) << "x " << x;
  EXPECT_GT(out.alphaAt(33, 20), 0) << "the feather reaches beyond the mask's own bounds";
  EXPECT_EQ(out.alphaAt(59, 20), 0);

  layer.mask.density = 128;  // half of what the mask hides shows through
  out = compositeLayers({layer}, area);
  EXPECT_EQ(out.alphaAt(15, 20), 255);
  EXPECT_EQ(out.alphaAt(59, 20), 127);

  layer.mask.density = 255;
  layer.mask.feather = std::nan("");
  EXPECT_EQ(compositeLayers({layer}, area).alphaAt(30, 20), 0) << "an unreadable feather is none";

  // Wide feathers stay close to the Gaussian and huge ones are bounded.
  const Rect wide{0, 0, 400, 4};
  layer = maskedToTheLeft(wide, 200, -250, 254);  // rows far beyond the blur's reach
  layer.mask.feather = 40.0;
  out = compositeLayers({layer}, wide);
  for (int x : {100, 150, 180, 199, 200, 220, 260, 320})
    EXPECT_NEAR(out.alphaAt(x, 2), 255.0 * featheredStep(199.5 - x, 40.0), 3.0) << "x " << x;

  layer.mask.feather = 1e12;
  const Raster widest = compositeLayers({layer}, wide);
  layer.mask.feather = kMaxMaskFeather;
  EXPECT_EQ(widest.alphaAt(100, 2), compositeLayers({layer}, wide).alphaAt(100, 2));
}

TEST(Artboards, MembersShowOnlyInsideTheRectangleOverItsBackground) {
  const Rect canvas = Rect::fromSize(60, 40);
  const Rgb own{200, 30, 30};
  const std::pair<int, std::optional<Rgb>> backgrounds[] = {
      {1, kWhite}, {2, Rgb{0, 0, 0}}, {3, std::nullopt}, {4, own}};
  for (const auto& [type, background] : backgrounds) {
    SCOPED_TRACE(type);
    LayerNode board = layerSet(BlendMode::PassThrough, {solidLayer("Shape", {0, 0, 30, 40}, kBlue)});
    fixtures::addBlock(board, "artb", artboardBlock({10, 5, 50, 35}, type, own));
    ASSERT_TRUE(board.artboard);
    const Raster out = compositeLayers({board}, canvas, canvas);
    EXPECT_EQ(rgbAt(out, 20, 20), kBlue);
    EXPECT_EQ(out.alphaAt(40, 20), background ? 255 : 0);
    if (background) {
      EXPECT_EQ(rgbAt(out, 40, 20), *background);
    }
    for (const auto& [x, y] : {std::pair{5, 20}, std::pair{20, 37}, std::pair{55, 20}})
      EXPECT_EQ(out.alphaAt(x, y), 0) << x << "," << y << " lies outside the artboard";
    EXPECT_EQ(board.extraBlocks.size(), 1u) << "the block goes back to the file as read";
  }

  LayerNode damaged = layerSet(BlendMode::PassThrough, {solidLayer("Shape", {0, 0, 30, 40}, kBlue)});
  fixtures::addBlock(damaged, "artb", {0, 0, 0, 16, 1, 2});
  EXPECT_FALSE(damaged.artboard) << "a block that cannot be read leaves a plain set";
  EXPECT_EQ(compositeLayers({damaged}, canvas, canvas).alphaAt(5, 20), 255);
}

// A gradient fill layer the file holds no pixels for is drawn from its settings: black to
// white from the bottom up at the default 90 degrees.
TEST(FillLayers, AGradientFillWithoutPixelsIsDrawnFromItsSettingsAndMixesWhereItsDocumentDoes) {
  // Black to white, its stops in RGB or (a Lab document's) in Lab.
  const auto drawn = [](bool lab) {
    samples::DescriptorWriter d;
    d.w.u32(16);
    d.object("null", 1);
    d.item("Grad", "Objc");
    d.object("Grdn", 1);
    d.item("Clrs", "VlLs").u32(2);
    for (const auto& [at, v] : {std::pair{0, 0.0}, std::pair{4096, 255.0}}) {
      d.w.tag("Objc");
      d.object("Clrt", 2);
      if (lab) {
        d.item("Clr ", "Objc");
        d.object("LbCl", 3);
        for (const auto& [key, part] : {std::pair{"Lmnc", v / 2.55}, std::pair{"A   ", 0.0}, std::pair{"B   ", 0.0}}) d.real(key, part);
      } else {
        d.rgb("Clr ", v, v, v);
      }
      d.integer("Lctn", at);
    }
    DocumentContent doc;
    doc.width = doc.height = 20;
    doc.layers = {LayerNode::artLayer("Gradient Fill 1")};
    doc.layers[0].kind = LayerKind::GradientFill;
    doc.layers[0].extraBlocks.push_back(samples::block("GdFl", std::move(d.w.buffer())));
    formats::attachLayerEffects(doc, "test", lab ? engine::EffectFill::Mixing::Lab : engine::EffectFill::Mixing::Srgb);
    return compositeDocument(doc);
  };
  // It runs from the bottom edge up to the top, sampled at each pixel's top left corner.
  const Raster out = drawn(false);
  EXPECT_EQ(rgbAt(out, 10, 19).r, 13);  // a twentieth of the way
  EXPECT_EQ(rgbAt(out, 10, 10).r, 128);
  EXPECT_EQ(rgbAt(out, 10, 0).r, 255);
  EXPECT_NEAR(rgbAt(drawn(true), 10, 10).r, 119, 1) << "half way in Lab is L 50";
}

// A Lab document mixes a half-covering layer with what lies below in L*a*b*: black at half
// over white is L 50, darker than RGB's 127. Opaque pixels and an RGB document are unchanged.
TEST(ColorMixing, ALabDocumentMixesPartialCoverageInLab) {
  DocumentContent doc;
  doc.width = doc.height = 4;
  doc.layers = {solidLayer("Ink", {0, 0, 2, 4}, {0, 0, 0}, 128), solidLayer("Paper", {0, 0, 4, 4}, {255, 255, 255})};
  doc.layers[0].pixels.mutablePixel(1, 0)[3] = 255;
  EXPECT_EQ(rgbAt(compositeDocument(doc), 0, 0).r, 127);
  doc.mixing = ColorMixing::Lab;
  const Raster lab = compositeDocument(doc);
  EXPECT_NEAR(rgbAt(lab, 0, 0).r, 119, 1);
  EXPECT_EQ(rgbAt(lab, 1, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(rgbAt(lab, 3, 0), (Rgb{255, 255, 255}));

  // The conversion there and back keeps every colour of a coarse grid of the sRGB cube.
  for (int r = 0; r < 256; r += 15)
    for (int g = 0; g < 256; g += 15)
      for (int b = 0; b < 256; b += 15) {
        const std::uint8_t rgb[3] = {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)};
        const ColorF l = srgbToLab(rgb), back = labToSrgb(l.r, l.g, l.b);
        ASSERT_NEAR(back.r, r, 0.01) << r << "," << g << "," << b;
        ASSERT_NEAR(back.g, g, 0.01);
        ASSERT_NEAR(back.b, b, 0.01);
      }
}

// A layer restricted from the blue channel ('brst' lists channel 2) leaves blue as it was below.
TEST(ChannelRestrictions, ALayerLeavesTheChannelsItIsRestrictedFromAsTheyWereBelow) {
  LayerNode red = solidLayer("Red", {0, 0, 4, 4}, {255, 0, 0});
  fixtures::addBlock(red, "brst", {0, 0, 0, 2});
  EXPECT_EQ(fixtures::mergedAt({red, strip({100, 100, 100})}), (Rgb{255, 0, 100}));
}
