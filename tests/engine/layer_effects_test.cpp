// Layer effects as the compositor draws them: where each effect lands around a layer's shape,
// and the switches and opacities that govern them.

#include <gtest/gtest.h>

#include <memory>

#include "engine/composite.h"
#include "engine/layer_effects.h"
#include "engine/operations.h"
#include "engine/layer_blocks_fixtures.h"
#include "engine_fixtures.h"

namespace {

using engine::LayerEffects;
using engine::Rect;

constexpr Rect kCanvas{0, 0, 80, 60};
constexpr Rect kShape{30, 20, 50, 40};

engine::LayerNode styled(const LayerEffects& fx, std::uint8_t fill = 255) {
  engine::LayerNode n = fixtures::solidLayer("Button", kShape, {0, 0, 255});
  n.hasStyle = true;
  n.fillOpacity = fill;
  n.effects = std::make_shared<const LayerEffects>(fx);
  return n;
}

engine::Raster draw(const engine::LayerNode& n) {
  std::vector<engine::LayerNode> layers{fixtures::solidLayer("Background", kCanvas, {255, 255, 255}), n};
  std::swap(layers[0], layers[1]);  // topmost first
  return engine::compositeLayers(layers, kCanvas, kCanvas);
}

LayerEffects dropShadow(double angle) {
  LayerEffects fx;
  engine::ShadowEffect s;  // black
  s.angle = angle;
  s.distance = 6;
  s.size = 2;
  fx.dropShadows.push_back(s);
  return fx;
}

// A red stroke at `position`, `size` pixels wide.
LayerEffects redStroke(engine::StrokeEffect::Position position, double size) {
  LayerEffects fx;
  engine::StrokeEffect s;
  s.position = position;
  s.size = size;
  s.fill.color = {255, 0, 0};
  fx.strokes.push_back(s);
  return fx;
}

TEST(LayerEffects, ADropShadowFallsAwayFromTheLightAndTheLayerKnocksItOut) {
  // Light from the upper left (120 degrees): the shadow shows below and to the right.
  const engine::Raster out = draw(styled(dropShadow(120)));
  EXPECT_LT(fixtures::rgbAt(out, 52, 44).r, 200);
  EXPECT_EQ(fixtures::rgbAt(out, 27, 17), (engine::Rgb{255, 255, 255}));
  // Light from below: the shadow shows above.
  const engine::Raster below = draw(styled(dropShadow(-90)));
  EXPECT_LT(fixtures::rgbAt(below, 40, 16).r, 200);
  EXPECT_EQ(fixtures::rgbAt(below, 40, 44), (engine::Rgb{255, 255, 255}));

  // The layer knocks out its drop shadow unless told not to.
  LayerEffects fx = dropShadow(120);
  fx.dropShadows[0].distance = 2;
  // A layer with no fill shows what lies behind it, not its own shadow.
  EXPECT_EQ(fixtures::rgbAt(draw(styled(fx, 0)), 36, 26), (engine::Rgb{255, 255, 255}));
  fx.dropShadows[0].knocksOut = false;
  EXPECT_LT(fixtures::rgbAt(draw(styled(fx, 0)), 36, 26).r, 100);
}

TEST(StrokeEffect, EachPositionCoversItsSideOfTheEdge) {
  using P = engine::StrokeEffect::Position;
  for (const auto& [name, position, outsideRing, insideRing] : {std::tuple{"Outside", P::Outside, true, false},
                                                                {"Inside", P::Inside, false, true},
                                                                {"Center", P::Center, true, true}}) {
    SCOPED_TRACE(name);
    const engine::Raster out = draw(styled(redStroke(position, 4)));
    const engine::Rgb red{255, 0, 0};
    EXPECT_EQ(fixtures::rgbAt(out, 28, 30) == red, outsideRing);            // 2 px outside the left edge
    EXPECT_EQ(fixtures::rgbAt(out, 31, 30) == red, insideRing);             // 2 px inside it
    EXPECT_EQ(fixtures::rgbAt(out, 40, 30), (engine::Rgb{0, 0, 255}));      // the middle keeps its colour
    EXPECT_EQ(fixtures::rgbAt(out, 20, 30), (engine::Rgb{255, 255, 255}));  // beyond the stroke
  }
}

// An outside stroke of a pixel layer lies beneath it: where the layer is half transparent the
// stroke shows through and the result is opaque. Its outer edge keeps the layer's sub-pixel
// edge: a last column covered a quarter puts the stroke's end a quarter into its last pixel.
TEST(StrokeEffect, APixelLayersOutsideStrokeLiesBeneathItAndFollowsItsAntiAliasedEdge) {
  const LayerEffects fx = redStroke(engine::StrokeEffect::Position::Outside, 2);
  engine::LayerNode layer = styled(fx);
  layer.pixels = engine::Raster::filled(kShape, {0, 0, 255}, 128);
  for (int y = kShape.top; y < kShape.bottom; ++y) layer.pixels.mutablePixel(kShape.right - 1, y)[3] = 64;
  const engine::Raster out = engine::compositeLayers({layer}, kCanvas, kCanvas);
  EXPECT_EQ(fixtures::alphaAt(out, 40, 30), 255);
  EXPECT_NEAR(fixtures::rgbAt(out, 40, 30).r, 127, 2) << "half the stroke's red shows through";
  EXPECT_EQ(fixtures::alphaAt(out, kShape.right, 30), 255);
  EXPECT_NEAR(fixtures::alphaAt(out, kShape.right + 1, 30), 64, 2);
  EXPECT_EQ(fixtures::alphaAt(out, kShape.right + 2, 30), 0);
}

// A fill layer's shape is its vector mask: a gradient that fades out inside it does not move
// the stroke in from the outline.
TEST(StrokeEffect, AFillLayersStrokeFollowsItsVectorMaskNotWhatItsFillShows) {
  const LayerEffects fx = redStroke(engine::StrokeEffect::Position::Outside, 2);
  engine::LayerNode layer = styled(fx);
  layer.kind = engine::LayerKind::GradientFill;
  fixtures::addBlock(layer, "vmsk",
                     fixtures::vectorMask({{1, fixtures::rectPath(kShape.left, kShape.top, kShape.right, kShape.bottom)}},
                                          kCanvas.width(), kCanvas.height()));
  for (int y = kShape.top; y < kShape.bottom; ++y)
    for (int x = 40; x < kShape.right; ++x) layer.pixels.mutablePixel(x, y)[3] = 0;  // the fill fades out
  const engine::Raster out = engine::compositeLayers({layer}, kCanvas, kCanvas);
  EXPECT_EQ(fixtures::rgbAt(out, kShape.right, 30), (engine::Rgb{255, 0, 0})) << "around the outline";
  EXPECT_EQ(fixtures::alphaAt(out, 45, 30), 0) << "not inside the shape where the fill is clear";
  EXPECT_EQ(fixtures::rgbAt(out, 35, 30), (engine::Rgb{0, 0, 255}));
}

// A layer that runs off the canvas has its edge out there: its inside stroke does not show
// along the canvas's border.
TEST(StrokeEffect, AnInsideStrokeFollowsTheEdgeBeyondTheCanvas) {
  const LayerEffects fx = redStroke(engine::StrokeEffect::Position::Inside, 3);
  engine::LayerNode layer = styled(fx);
  layer.pixels = engine::Raster::filled({-2, -2, kCanvas.right + 2, kCanvas.bottom + 2}, {0, 0, 255});
  const engine::Raster out = engine::compositeLayers({layer}, kCanvas, kCanvas);
  EXPECT_EQ(fixtures::rgbAt(out, 0, 30), (engine::Rgb{255, 0, 0})) << "within 3 pixels of the edge at -2";
  EXPECT_EQ(fixtures::rgbAt(out, 1, 30), (engine::Rgb{0, 0, 255}));
  EXPECT_EQ(fixtures::rgbAt(out, 40, kCanvas.bottom - 2), (engine::Rgb{0, 0, 255}));
}

// Effects inside the shape colour the layer itself: over a half-transparent layer an overlay
// or an inside stroke gives its colour at the layer's own coverage, it adds no coverage.
TEST(LayerEffects, InteriorEffectsColourTheLayerWithoutThickeningItsSoftParts) {
  LayerEffects overlay;
  engine::OverlayEffect o;
  o.fill.color = {255, 0, 0};
  overlay.colorOverlays.push_back(o);
  for (const LayerEffects& fx : {overlay, redStroke(engine::StrokeEffect::Position::Inside, 40)}) {
    engine::LayerNode layer = styled(fx);
    layer.pixels = engine::Raster::filled(kShape, {0, 0, 255}, 128);
    const engine::Raster out = engine::compositeLayers({layer}, kCanvas, kCanvas);
    EXPECT_EQ(fixtures::rgbAt(out, 40, 30), (engine::Rgb{255, 0, 0}));
    EXPECT_NEAR(fixtures::alphaAt(out, 40, 30), 128, 1);
  }
}

TEST(LayerEffects, OverlaysShowWithoutFillOpacityFadesEverythingAndSwitchesTurnEffectsOff) {
  LayerEffects fx;
  engine::OverlayEffect overlay;
  overlay.fill.color = {0, 255, 0};
  fx.colorOverlays.push_back(overlay);
  EXPECT_EQ(fixtures::rgbAt(draw(styled(fx, 0)), 40, 30), (engine::Rgb{0, 255, 0}));
  engine::LayerNode half = styled(fx);
  half.opacity = 128;
  EXPECT_NEAR(fixtures::rgbAt(draw(half), 40, 30).r, 127, 2);
  EXPECT_NEAR(fixtures::rgbAt(draw(half), 40, 30).g, 255, 1);

  // A style switched off, or disabled effects, draw nothing.
  const engine::Raster plain = draw(fixtures::solidLayer("Button", kShape, {0, 0, 255}));
  engine::LayerNode off = styled(dropShadow(120));
  off.styleEnabled = false;
  EXPECT_TRUE(draw(off).samePixels(plain));
  LayerEffects disabled = dropShadow(120);
  disabled.dropShadows[0].enabled = false;
  EXPECT_TRUE(draw(styled(disabled)).samePixels(plain));
}

TEST(LayerEffects, EffectsStayWithinTheReachTheyClaim) {
  LayerEffects fx = dropShadow(45);
  fx.dropShadows[0].size = 9;
  engine::GlowEffect glow;
  glow.size = 7;
  glow.fill.color = {255, 255, 0};
  fx.outerGlows.push_back(glow);
  engine::BevelEffect bevel;
  bevel.style = engine::BevelEffect::Style::PillowEmboss;
  fx.bevels.push_back(bevel);
  const Rect reach{kShape.left - fx.reach(), kShape.top - fx.reach(), kShape.right + fx.reach(), kShape.bottom + fx.reach()};
  const engine::Raster out = engine::compositeLayers({styled(fx)}, kCanvas, kCanvas);
  bool drewOutsideShape = false;
  for (int y = 0; y < kCanvas.bottom; ++y)
    for (int x = 0; x < kCanvas.right; ++x) {
      if (!reach.contains(x, y)) {
        EXPECT_EQ(out.alphaAt(x, y), 0) << x << "," << y;
      }
      drewOutsideShape |= !kShape.contains(x, y) && out.alphaAt(x, y) > 0;
    }
  EXPECT_TRUE(drewOutsideShape);
}

TEST(LayerEffects, ABevelLightsTheSideFacingTheLightAndShadesTheOther) {
  LayerEffects fx;
  engine::BevelEffect bevel;
  bevel.technique = engine::BevelEffect::Technique::ChiselHard;
  bevel.angle = 180;  // light from the left
  bevel.altitude = 30;
  fx.bevels.push_back(bevel);
  const engine::Raster out = draw(styled(fx));
  const engine::Rgb left = fixtures::rgbAt(out, 31, 30), right = fixtures::rgbAt(out, 48, 30);
  EXPECT_GT(left.r, 60);   // lit: screened towards white
  EXPECT_LT(right.b, 200);  // shaded: multiplied towards black
  EXPECT_EQ(fixtures::rgbAt(out, 40, 30), (engine::Rgb{0, 0, 255}));
}

TEST(LayerEffects, MergingDownKeepsTheEffectsInThePixelsAndDropsTheStyle) {
  engine::DocumentContent doc;
  doc.width = kCanvas.right;
  doc.height = kCanvas.bottom;
  doc.layers = {styled(dropShadow(120)), fixtures::solidLayer("Below", {0, 0, 10, 10}, {255, 255, 255})};
  const engine::Raster before = engine::compositeDocument(doc);
  const engine::LayerId merged = engine::mergeDown(doc, doc.layers[0].id);
  const engine::LayerNode& layer = doc.layer(merged);
  EXPECT_EQ(engine::drawnEffects(layer), nullptr);
  EXPECT_GT(layer.pixels.alphaAt(52, 44), 0);  // the shadow, beyond the layer's own pixels
  EXPECT_TRUE(engine::compositeDocument(doc).samePixels(before));
}

TEST(EffectGradient, SamplesInterpolateBetweenStopsAndHoldBeyondThem) {
  engine::EffectGradient g;
  g.colors = {{0.25, {0, 0, 0}}, {0.75, {200, 100, 0}}};
  g.opacities = {{0.0, 1.0}, {1.0, 0.0}};
  const auto at = [&](double t) {
    std::uint8_t p[4];
    g.sample(t, p);
    return std::vector<int>{p[0], p[1], p[2], p[3]};
  };
  EXPECT_EQ(at(0.0), (std::vector<int>{0, 0, 0, 255}));
  EXPECT_EQ(at(0.5)[0], 100);
  EXPECT_EQ(at(0.5)[1], 50);
  EXPECT_NEAR(at(0.5)[3], 128, 1);
  EXPECT_EQ(at(1.0), (std::vector<int>{200, 100, 0, 0}));
}

// A linear gradient runs across the layer's box along its angle, from edge to edge: nearly
// upright on a wide, low layer, it spans the layer's height, not the length of its diagonal.
TEST(EffectGradient, ALinearGradientSpansTheBoxAlongItsAngle) {
  LayerEffects fx;
  engine::OverlayEffect o;
  o.fill.kind = engine::EffectFill::Kind::Gradient;
  o.fill.gradient.colors = {{0.0, {0, 0, 0}}, {1.0, {255, 255, 255}}};
  o.fill.gradient.opacities = {{0.0, 1.0}, {1.0, 1.0}};
  o.fill.angle = 80;
  fx.gradientOverlays.push_back(o);
  engine::LayerNode layer = styled(fx);
  layer.pixels = engine::Raster::filled({0, 20, kCanvas.right, 40}, {0, 0, 255});
  const engine::Raster out = engine::compositeLayers({layer}, kCanvas, kCanvas);
  EXPECT_GT(fixtures::rgbAt(out, 40, 20).r, 230) << "the top edge is near the gradient's end";
  EXPECT_LT(fixtures::rgbAt(out, 40, 39).r, 25) << "the bottom edge near its start";
}

}  // namespace
