// Layer effects as the compositor draws them: where each effect lands around a layer's shape,
// and the switches and opacities that govern them.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/composite.h"
#include "engine/layer_effects.h"
#include "engine/layer_effects_shape.h"
#include "engine/operations.h"
#include "engine/layer_blocks_fixtures.h"
#include "engine_fixtures.h"

namespace {

using engine::LayerEffects;
using engine::LayerNode;
using engine::Raster;
using engine::Rect;
using engine::Rgb;
using fixtures::rgbAt;
using Position = engine::StrokeEffect::Position;

constexpr Rect kCanvas{0, 0, 80, 60};
constexpr Rect kShape{30, 20, 50, 40};
constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

// A blue button over kShape, `alpha` opaque, with the effects `fx`.
LayerNode styled(const LayerEffects& fx, std::uint8_t fill = 255, std::uint8_t alpha = 255) {
  LayerNode n = fixtures::solidLayer("Button", kShape, kBlue, alpha);
  n.hasStyle = true;
  n.fillOpacity = fill;
  n.effects = std::make_shared<const LayerEffects>(fx);
  return n;
}

Raster alone(const LayerNode& n) { return engine::compositeLayers({n}, kCanvas, kCanvas); }
Raster overWhite(const LayerNode& n) {
  return engine::compositeLayers({n, fixtures::solidLayer("Background", kCanvas, kWhite)}, kCanvas, kCanvas);
}

LayerEffects dropShadow(double angle, double distance = 6, double size = 2) {
  LayerEffects fx;
  fx.dropShadows.resize(1);  // black
  fx.dropShadows[0].angle = angle;
  fx.dropShadows[0].distance = distance;
  fx.dropShadows[0].size = size;
  return fx;
}

// A red stroke at `position`, `size` pixels wide.
LayerEffects redStroke(Position position, double size) {
  LayerEffects fx;
  fx.strokes.resize(1);
  fx.strokes[0].position = position;
  fx.strokes[0].size = size;
  fx.strokes[0].fill.color = kRed;
  return fx;
}

LayerEffects colourOverlay(Rgb colour) {
  LayerEffects fx;
  fx.colorOverlays.emplace_back().fill.color = colour;
  return fx;
}

TEST(LayerEffects, ADropShadowFallsAwayFromTheLightTheLayerKnocksItOutAndMergingDownKeepsIt) {
  // Light from the upper left (120 degrees): the shadow shows below and to the right.
  const Raster out = overWhite(styled(dropShadow(120)));
  EXPECT_LT(rgbAt(out, 52, 44).r, 200);
  EXPECT_EQ(rgbAt(out, 27, 17), kWhite);
  // Light from below: the shadow shows above.
  const Raster below = overWhite(styled(dropShadow(-90)));
  EXPECT_LT(rgbAt(below, 40, 16).r, 200);
  EXPECT_EQ(rgbAt(below, 40, 44), kWhite);
  // A hard shadow 5 pixels away at 120 degrees lies 2.5 right, rounded away from zero, and 4.33
  // down: 3 and 4, though the cosine of 120 degrees comes out a hair short of a half.
  const Raster hard = alone(styled(dropShadow(120, 5, 0)));
  EXPECT_GT(hard.alphaAt(kShape.right + 2, kShape.bottom + 3), 0);
  EXPECT_EQ(hard.alphaAt(kShape.right + 3, kShape.bottom + 3), 0);
  EXPECT_EQ(hard.alphaAt(kShape.right + 2, kShape.bottom + 4), 0);

  // A spread grows the shadow by whole pixels: a 2 % spread at size 5 grows nothing, so the
  // shadow of a half-clear layer stays half dark; 60 % at size 10 grows it by 6 before blurring.
  LayerEffects spread = dropShadow(0, 10, 5);  // light from the right: the shadow lies 10 to the left
  spread.dropShadows[0].spread = 0.02;
  EXPECT_NEAR(alone(styled(spread, 255, 128)).alphaAt(24, 30), 128, 3);
  spread.dropShadows[0].spread = 0.6;
  spread.dropShadows[0].size = 10;
  const Raster grown = alone(styled(spread));
  EXPECT_GT(grown.alphaAt(17, 30), 240) << "3 beyond the shadow's edge, well inside its growth";
  EXPECT_EQ(grown.alphaAt(11, 30), 16) << "9 beyond it, the last pixel its blur reaches";
  EXPECT_EQ(grown.alphaAt(10, 30), 0) << "past its growth and its blur";

  // A layer with no fill shows what lies behind it, not its own shadow, unless told not to.
  LayerEffects fx = dropShadow(120, 2);
  EXPECT_EQ(rgbAt(overWhite(styled(fx, 0)), 36, 26), kWhite);
  fx.dropShadows[0].knocksOut = false;
  EXPECT_LT(rgbAt(overWhite(styled(fx, 0)), 36, 26).r, 100);
  // The knockout takes away only what the fill hides: a half-clear layer's half-dark shadow all shows
  // through it at full fill (half of white's half), and half of it is knocked out at no fill.
  fx.dropShadows[0].knocksOut = true;
  EXPECT_NEAR(rgbAt(overWhite(styled(fx, 255, 128)), 36, 26).r, 64, 1);
  EXPECT_NEAR(rgbAt(overWhite(styled(fx, 0, 128)), 36, 26).r, 191, 1);

  // Merging down keeps the shadow in the pixels and drops the style.
  engine::DocumentContent doc = fixtures::blankDocument(kCanvas.right, kCanvas.bottom);
  doc.layers = {styled(dropShadow(120)), fixtures::solidLayer("Below", {0, 0, 10, 10}, kWhite)};
  const Raster before = engine::compositeDocument(doc);
  const LayerNode& merged = doc.layer(engine::mergeDown(doc, doc.layers[0].id));
  EXPECT_EQ(engine::drawnEffects(merged), nullptr);
  EXPECT_GT(merged.pixels.alphaAt(52, 44), 0);  // the shadow, beyond the layer's own pixels
  EXPECT_TRUE(engine::compositeDocument(doc).samePixels(before));
}

TEST(StrokeEffect, EachPositionCoversItsSideOfTheLayersTrueEdge) {
  for (const auto& [name, position, outsideRing, insideRing] : {std::tuple{"Outside", Position::Outside, true, false},
                                                                {"Inside", Position::Inside, false, true},
                                                                {"Center", Position::Center, true, true}}) {
    SCOPED_TRACE(name);
    const Raster out = overWhite(styled(redStroke(position, 4)));
    EXPECT_EQ(rgbAt(out, 28, 30) == kRed, outsideRing);  // 2 px outside the left edge
    EXPECT_EQ(rgbAt(out, 31, 30) == kRed, insideRing);   // 2 px inside it
    EXPECT_EQ(rgbAt(out, 40, 30), kBlue);                // the middle keeps its colour
    EXPECT_EQ(rgbAt(out, 20, 30), kWhite);               // beyond the stroke
  }

  // A stroke follows the layer's true edge: a pixel layer's anti-aliased edge, a fill layer's
  // vector mask, an edge beyond the canvas.
  // An outside stroke of a pixel layer lies beneath it: where the layer is half transparent the
  // stroke shows through and the result is opaque. A last column covered a quarter puts the
  // stroke's end a quarter into its last pixel.
  LayerNode layer = styled(redStroke(Position::Outside, 2), 255, 128);
  for (int y = kShape.top; y < kShape.bottom; ++y) layer.pixels.mutablePixel(kShape.right - 1, y)[3] = 64;
  Raster out = alone(layer);
  EXPECT_EQ(out.alphaAt(40, 30), 255);
  EXPECT_NEAR(rgbAt(out, 40, 30).r, 127, 2) << "half the stroke's red shows through";
  EXPECT_EQ(out.alphaAt(kShape.right, 30), 255);
  EXPECT_NEAR(out.alphaAt(kShape.right + 1, 30), 64, 2);
  EXPECT_EQ(out.alphaAt(kShape.right + 2, 30), 0);
  // So does a solid colour shape's, whose shape is its pixels' coverage too.
  LayerNode solid = styled(redStroke(Position::Outside, 2), 255, 128);
  solid.kind = engine::LayerKind::SolidFill;
  fixtures::addBlock(solid, "vmsk",
                     fixtures::vectorMask({{1, fixtures::rectPath(kShape.left, kShape.top, kShape.right, kShape.bottom)}},
                                          kCanvas.width(), kCanvas.height()));
  EXPECT_NEAR(rgbAt(alone(solid), 40, 30).r, 127, 2) << "half the stroke's red shows through";

  // A gradient fill that fades out inside its vector mask leaves the stroke on the outline.
  layer = styled(redStroke(Position::Outside, 2));
  layer.kind = engine::LayerKind::GradientFill;
  fixtures::addBlock(layer, "vmsk",
                     fixtures::vectorMask({{1, fixtures::rectPath(kShape.left, kShape.top, kShape.right, kShape.bottom)}},
                                          kCanvas.width(), kCanvas.height()));
  for (int y = kShape.top; y < kShape.bottom; ++y)
    for (int x = 40; x < kShape.right; ++x) layer.pixels.mutablePixel(x, y)[3] = 0;  // the fill fades out
  out = alone(layer);
  EXPECT_EQ(rgbAt(out, kShape.right, 30), kRed) << "around the outline";
  EXPECT_EQ(out.alphaAt(45, 30), 0) << "not inside the shape where the fill is clear";
  EXPECT_EQ(rgbAt(out, 35, 30), kBlue);

  // A gradient stroke spans the stroke's own box, the layer's grown by the stroke: upright,
  // black at the bottom of the stroke to white at its top.
  LayerEffects graded = redStroke(Position::Outside, 4);
  graded.strokes[0].fill.kind = engine::EffectFill::Kind::Gradient;
  graded.strokes[0].fill.gradient.colors = {{0.0, {0, 0, 0}}, {1.0, kWhite}};
  graded.strokes[0].fill.gradient.opacities = {{0.0, 1.0}, {1.0, 1.0}};
  out = alone(styled(graded));
  EXPECT_NEAR(rgbAt(out, kShape.left - 2, kShape.top + 2).r, 200, 6) << "22 of the box's 28 rows up";

  // A layer that runs off the canvas has no inside stroke along the canvas's border.
  layer = styled(redStroke(Position::Inside, 3));
  layer.pixels = Raster::filled({-2, -2, kCanvas.right + 2, kCanvas.bottom + 2}, kBlue);
  out = alone(layer);
  EXPECT_EQ(rgbAt(out, 0, 30), kRed) << "within 3 pixels of the edge at -2";
  EXPECT_EQ(rgbAt(out, 1, 30), kBlue);
  EXPECT_EQ(rgbAt(out, 40, kCanvas.bottom - 2), kBlue);

  // A soft edge is edge across all its width: an inside stroke covers the whole of a
  // half-transparent layer, at the layer's own coverage.
  out = alone(styled(redStroke(Position::Inside, 2), 255, 128));
  EXPECT_EQ(rgbAt(out, 40, 30), kRed);
  EXPECT_NEAR(out.alphaAt(40, 30), 128, 1);
}

// Effects inside the shape colour the layer itself: over a half-transparent layer an overlay
// or an inside stroke gives its colour at the layer's own coverage, it adds no coverage.
TEST(LayerEffects, InteriorEffectsColourTheLayerShowWithoutFillAndFadeWithOpacityAndSwitchesTurnEffectsOff) {
  for (const LayerEffects& fx : {colourOverlay(kRed), redStroke(Position::Inside, 40)}) {
    const Raster out = alone(styled(fx, 255, 128));
    EXPECT_EQ(rgbAt(out, 40, 30), kRed);
    EXPECT_NEAR(out.alphaAt(40, 30), 128, 1);
  }
  const LayerEffects green = colourOverlay({0, 255, 0});
  EXPECT_EQ(rgbAt(overWhite(styled(green, 0)), 40, 30), (Rgb{0, 255, 0}));
  LayerNode half = styled(green);
  half.opacity = 128;
  EXPECT_NEAR(rgbAt(overWhite(half), 40, 30).r, 127, 2);
  EXPECT_NEAR(rgbAt(overWhite(half), 40, 30).g, 255, 1);

  // Linear burn fades its colour towards white by the effect's strength rather than mixing the
  // burnt result back: at half strength 100 - (255 - 55) / 2 clips to black.
  LayerEffects burn = colourOverlay({55, 55, 55});
  burn.colorOverlays[0].mode = engine::BlendMode::LinearBurn;
  burn.colorOverlays[0].opacity = 0.5;
  LayerNode grey = styled(burn);
  grey.pixels = Raster::filled(kShape, {100, 100, 100}, 255);
  EXPECT_EQ(rgbAt(alone(grey), 40, 30), (Rgb{0, 0, 0}));

  // A style switched off, or disabled effects, draw nothing.
  const Raster plain = overWhite(fixtures::solidLayer("Button", kShape, kBlue));
  LayerNode off = styled(dropShadow(120));
  off.styleEnabled = false;
  EXPECT_TRUE(overWhite(off).samePixels(plain));
  LayerEffects disabled = dropShadow(120);
  disabled.dropShadows[0].enabled = false;
  EXPECT_TRUE(overWhite(styled(disabled)).samePixels(plain));
}

TEST(LayerEffects, EffectsStayWithinTheReachTheyClaimAndABevelLightsTheSideFacingTheLight) {
  LayerEffects fx = dropShadow(45, 6, 9);
  fx.outerGlows.resize(1);
  fx.outerGlows[0].size = 7;
  fx.outerGlows[0].fill.color = {255, 255, 0};
  fx.bevels.emplace_back().style = engine::BevelEffect::Style::PillowEmboss;
  const Rect reach{kShape.left - fx.reach(), kShape.top - fx.reach(), kShape.right + fx.reach(), kShape.bottom + fx.reach()};
  const Raster out = alone(styled(fx));
  bool drewOutsideShape = false;
  for (int y = 0; y < kCanvas.bottom; ++y)
    for (int x = 0; x < kCanvas.right; ++x) {
      if (!reach.contains(x, y)) {
        EXPECT_EQ(out.alphaAt(x, y), 0) << x << "," << y;
      }
      drewOutsideShape |= !kShape.contains(x, y) && out.alphaAt(x, y) > 0;
    }
  EXPECT_TRUE(drewOutsideShape);

  // A bevel lights the side facing the light and shades the other.
  LayerEffects bevel;
  bevel.bevels.resize(1);
  bevel.bevels[0].technique = engine::BevelEffect::Technique::ChiselHard;
  bevel.bevels[0].angle = 180;  // light from the left
  const Raster lit = overWhite(styled(bevel));
  EXPECT_GT(rgbAt(lit, 31, 30).r, 60);   // lit: screened towards white
  EXPECT_LT(rgbAt(lit, 48, 30).b, 200);  // shaded: multiplied towards black
  EXPECT_EQ(rgbAt(lit, 40, 30), kBlue);
  // An inverted gloss contour turns the light round: the side facing it is shaded, the other
  // lit, and a flat face, halfway at this altitude, stays as it was.
  bevel.bevels[0].gloss = engine::Contour({{0, 255, false}, {255, 0, false}});
  const Raster inverted = overWhite(styled(bevel));
  EXPECT_LT(rgbAt(inverted, 31, 30).b, 200);
  EXPECT_GT(rgbAt(inverted, 48, 30).r, 60);
  EXPECT_EQ(rgbAt(inverted, 40, 30), kBlue);
}

// A precise glow fades in a straight line from the edge over its size, so a hairline glows as
// strongly as a wide shape; the softer glow's blur thins it out.
TEST(LayerEffects, APreciseGlowFollowsTheDistanceFromTheEdge) {
  using Technique = engine::GlowEffect::Technique;
  const auto glowing = [](Rect shape, Technique technique, bool inner) {
    LayerEffects fx;
    engine::GlowEffect& g = (inner ? fx.innerGlows : fx.outerGlows).emplace_back();
    g.mode = engine::BlendMode::Normal;
    g.fill.color = kWhite;
    g.size = inner ? 4 : 10;
    g.technique = technique;
    LayerNode n = styled(fx);
    n.pixels = Raster::filled(shape, {0, 0, 0}, 255);
    return alone(n);
  };
  const Rect hairline{40, 10, 41, 50};
  const Raster precise = glowing(hairline, Technique::Precise, false);
  EXPECT_GE(precise.alphaAt(41, 30), 235);          // half a pixel out: nearly whole
  EXPECT_NEAR(precise.alphaAt(45, 30), 140, 3);     // 4.5 of 10 out, doubled by the 50 % range
  EXPECT_EQ(precise.alphaAt(51, 30), 0);            // beyond the size
  EXPECT_LT(glowing(hairline, Technique::Softer, false).alphaAt(41, 30), 80);

  const Raster inside = glowing(kShape, Technique::Precise, true);
  EXPECT_NEAR(rgbAt(inside, kShape.left, 30).r, 223, 3);  // 7/8 of the way to white
  EXPECT_EQ(rgbAt(inside, kShape.left + 4, 30), (Rgb{0, 0, 0}));
  EXPECT_EQ(rgbAt(inside, 40, 30), (Rgb{0, 0, 0}));
}

// A mask set to hide the effects cuts the layer and its effects as drawn; otherwise it shapes
// what the effects are drawn from. A layer mask and a vector mask alike.
TEST(LayerEffects, AMaskThatHidesTheEffectsCutsThemInsteadOfShapingThem) {
  for (const bool vector : {false, true}) {
    SCOPED_TRACE(vector ? "vector mask" : "layer mask");
    LayerNode n = styled(dropShadow(180, 6, 0));  // light from the left: the shadow lies 6 to the right
    if (vector) {
      fixtures::addBlock(n, "vmsk", fixtures::vectorMask({{1, fixtures::rectPath(0, 0, 40, 60)}}, 80, 60));
    } else {
      n.mask.pixels = engine::Mask(Rect{40, 0, 80, 60}, 255);  // black from x 40 on
    }
    const Raster shaped = overWhite(n);
    EXPECT_LT(rgbAt(shaped, 44, 30).r, 100) << "the shadow of the half that shows";
    (vector ? n.vectorMaskHidesEffects : n.layerMaskHidesEffects) = true;
    const Raster hidden = overWhite(n);
    EXPECT_EQ(rgbAt(hidden, 44, 30), kWhite);
    EXPECT_EQ(rgbAt(hidden, 38, 30), kBlue);
  }
}

// Blended as a group with the layer, the interior effects take its fill opacity and its blend
// mode; otherwise they paint over the blended result at their own.
TEST(LayerEffects, InteriorEffectsBlendedAsAGroupTakeTheLayersFillAndMode) {
  LayerEffects black;
  black.colorOverlays.resize(1);  // black
  LayerNode n = styled(black, 0);
  EXPECT_EQ(rgbAt(overWhite(n), 40, 30), (Rgb{0, 0, 0})) << "no fill: the overlay still shows";
  n.blendInteriorEffectsAsGroup = true;
  EXPECT_EQ(rgbAt(overWhite(n), 40, 30), kWhite) << "no fill: nothing shows";
  n = styled(black);
  n.blendMode = engine::BlendMode::Screen;
  EXPECT_EQ(rgbAt(overWhite(n), 40, 30), (Rgb{0, 0, 0}));
  n.blendInteriorEffectsAsGroup = true;
  EXPECT_EQ(rgbAt(overWhite(n), 40, 30), kWhite) << "black screened onto white";
}

// A styled text layer's soft edge blends as Photoshop blends text, in a space of gamma 1.45 over
// linear light: black half over white comes out at 163 where any other layer gives 128.
TEST(LayerEffects, AStyledTextLayersSoftEdgeBlendsInTextGamma) {
  LayerEffects black;
  black.colorOverlays.resize(1);  // black
  LayerNode text = styled(black, 255, 128);
  text.kind = engine::LayerKind::Text;
  EXPECT_NEAR(rgbAt(overWhite(text), 40, 30).r, 163, 1);
  EXPECT_NEAR(rgbAt(overWhite(styled(black, 255, 128)), 40, 30).r, 128, 1);
}

// A smooth emboss rises over half its size on either side of the edge, as steep as a smooth bevel
// of the same size: lit from above, the light above its top edge matches the bevel's just inside
// it, and has all but faded where it ends, half a size away.
TEST(LayerEffects, ASmoothEmbossIsAsSteepAsABevelAndFadesWithinHalfItsSize) {
  const Rect canvas{0, 0, 120, 100}, square{40, 30, 80, 70};
  const auto lit = [&](engine::BevelEffect::Style style) {
    LayerEffects fx;
    engine::BevelEffect& b = fx.bevels.emplace_back();
    b.style = style;
    b.size = 20;
    b.angle = 90;  // light from above
    LayerNode n = fixtures::solidLayer("Button", square, Rgb{128, 128, 128});
    n.hasStyle = true;
    n.effects = std::make_shared<const LayerEffects>(fx);
    return engine::compositeLayers({n, fixtures::solidLayer("Background", canvas, Rgb{128, 128, 128})}, canvas, canvas);
  };
  const Raster emboss = lit(engine::BevelEffect::Style::Emboss), bevel = lit(engine::BevelEffect::Style::InnerBevel);
  const int aboveEdge = rgbAt(emboss, 60, 29).r - 128, withinEdge = rgbAt(bevel, 60, 30).r - 128;
  EXPECT_GT(aboveEdge, 20);
  EXPECT_NEAR(aboveEdge, withinEdge, withinEdge / 5);
  EXPECT_LT(rgbAt(emboss, 60, 20).r - 128, aboveEdge / 4) << "ten pixels out, where it ends";
}

// Effects soften by a box of their size, twice over: across an edge each pixel takes the tent's
// share of what lies on the shape's side, an even width spreads evenly both ways, and beyond the
// plane the blur holds the value it is given.
TEST(EffectBlur, SpreadsAsATentOverTwiceItsSize) {
  const auto edge = [](double size) {
    engine::fx::Plane p(Rect{0, 0, 600, 200});
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 300; ++x) p.row(y)[x] = 1.0f;
    engine::fx::blur(p, size, 0.5f);
    return p;
  };
  const engine::fx::Plane five = edge(5), four = edge(4), wide = edge(60);
  const auto at = [](const engine::fx::Plane& p, int x, int y = 100) { return double(p.row(y)[x]); };
  EXPECT_NEAR(at(five, 299), 15.0 / 25, 1e-5);  // the tent 1 2 3 4 5 4 3 2 1 over 25
  EXPECT_NEAR(at(five, 297), 22.0 / 25, 1e-5);
  EXPECT_NEAR(at(five, 295), 1.0, 1e-5);
  EXPECT_NEAR(at(five, 304), 0.0, 1e-5);
  EXPECT_NEAR(at(five, 599), 0.5 * 10.0 / 25, 1e-5) << "the 0.5 beyond the plane";
  EXPECT_NEAR(at(four, 299), 10.0 / 16, 1e-5);  // 1 2 3 4 3 2 1 over 16
  EXPECT_NEAR(at(four, 300), 6.0 / 16, 1e-5);
  EXPECT_NEAR(at(four, 303), 0.0, 1e-5);
  // 60 wide: the tent (60 - |k|) / 3600, along the rows and down the columns alike.
  EXPECT_NEAR(at(wide, 299), 1830.0 / 3600, 1e-5);
  EXPECT_NEAR(at(wide, 200), 1.0, 1e-5);
  EXPECT_NEAR(at(wide, 200, 0), 0.5 + 0.5 * 1830.0 / 3600, 1e-5) << "the 0.5 above the plane";
  EXPECT_GE(engine::fx::blurReach(5), 4);
  EXPECT_GE(engine::fx::blurReach(60), 59);
  engine::fx::Plane dot(Rect{0, 0, 3, 3});
  dot.v[4] = 1.0f;
  engine::fx::blur(dot, 1e-300);  // a size a file may give: no blur, and no NaN from it
  EXPECT_EQ(dot.v[4], 1.0f);
}

// Distances run through steps to the 16 pixels around: exact along the straight, diagonal and
// knight's-move lines, a little long between them (the ripple Photoshop's spreads show), and
// the nearest pixel is the one the way starts from.
TEST(EffectDistances, StepThroughTheSixteenPixelsAround) {
  engine::fx::Plane p(Rect{0, 0, 12, 12});
  p.row(2)[2] = 1.0f;
  std::vector<int> nearest;
  const engine::fx::Plane d = engine::fx::distances(p, true, 0.5f, &nearest);
  const auto at = [&](int x, int y) { return double(d.row(y)[x]); };
  EXPECT_FLOAT_EQ(at(2, 2), 0.0);
  EXPECT_FLOAT_EQ(at(9, 2), 7.0);
  EXPECT_FLOAT_EQ(at(7, 7), 5 * std::sqrt(2.0));
  EXPECT_FLOAT_EQ(at(6, 4), 2 * std::sqrt(5.0));
  EXPECT_FLOAT_EQ(at(5, 3), 1 + std::sqrt(5.0)) << "longer than the straight line's 3.16";
  EXPECT_EQ(nearest[std::size_t(11 * 12 + 11)], 2 * 12 + 2);
  // Towards the outside, beyond the area counts as outside.
  const engine::fx::Plane in = engine::fx::distances(engine::fx::Plane(Rect{0, 0, 12, 12}, 1.0f), false);
  EXPECT_FLOAT_EQ(double(in.row(5)[1]), 2.0);
}

// A contour reshapes an effect's fade: smooth through its points, straight into a corner; a
// cone turns a shadow into a ring, clear where the plain shadow is darkest.
TEST(Contour, ShapesTheFadeSmoothThroughPointsAndSharpAtCorners) {
  EXPECT_TRUE(engine::Contour({{0, 0}, {255, 255}}).isLinear());
  const engine::Contour gaussian({{0, 0}, {64, 38}, {128, 166}, {191, 235}, {255, 255}});
  EXPECT_NEAR(gaussian(64 / 255.0f) * 255, 38, 0.5);
  const engine::Contour cone({{0, 0}, {128, 255, true}, {255, 0}});
  EXPECT_NEAR(cone(0.25f), 0.5f, 0.01f);
  EXPECT_NEAR(cone(0.5f), 1.0f, 0.01f);

  LayerEffects fx = dropShadow(0, 30, 4);  // lit from the right: the shadow falls 30 px left
  const Raster plain = alone(styled(fx));
  fx.dropShadows[0].contour = cone;
  const Raster ring = alone(styled(fx));
  EXPECT_EQ(plain.alphaAt(10, 30), 255);
  EXPECT_LT(ring.alphaAt(10, 30), 5) << "the shadow's full strength is the cone's foot";
  EXPECT_GT(ring.alphaAt(kShape.left - 30, 30), plain.alphaAt(kShape.left - 30, 30)) << "its half strength the peak";
}

TEST(EffectGradient, SamplesInterpolateBetweenStopsAndALinearGradientSpansTheBoxAlongItsAngle) {
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
  // A stop's midpoint moves the even mix; full smoothness eases out of one stop into the next.
  g.colors[1].midpoint = 0.25;
  EXPECT_EQ(at(0.375)[0], 100);
  g.colors[1].midpoint = 0.5;
  g.smoothness = 1.0;
  EXPECT_EQ(at(0.375)[0], 41);  // a quarter of the way: (0.25 + 0.15625) / 2 of 200
  EXPECT_EQ(at(0.5)[0], 100);

  // With more stops each channel keeps its pace across a stop and never leaves the range of the
  // span it is in. Photoshop's own values, read off a stroke with this smooth gradient.
  g.colors = {{0.12, {255, 0, 0}},        {0.28, {255, 252, 0}},         {0.45, {0.7, 180, 57.4}},
              {0.60, {0, 234, 255}, 0.6}, {0.75, {0, 3.4, 144}, 0.35}, {0.88, {255, 0, 198}, 0.6}};
  const std::vector<std::pair<double, std::vector<int>>> photoshop = {
      {0.200, {255, 130, 0}}, {0.300, {235, 252, 3}}, {0.375, {109, 221, 19}},
      {0.575, {0, 234, 231}}, {0.700, {0, 54, 168}}};
  for (const auto& [t, rgb] : photoshop)
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(at(t)[std::size_t(c)], rgb[std::size_t(c)], 2) << "at " << t << ", channel " << c;

  // A linear gradient runs across the layer's box along its angle, from edge to edge: nearly
  // upright on a wide, low layer, it spans the layer's height, not the length of its diagonal.
  LayerEffects fx;
  engine::EffectFill& fill = fx.gradientOverlays.emplace_back().fill;
  fill.kind = engine::EffectFill::Kind::Gradient;
  fill.gradient.colors = {{0.0, {0, 0, 0}}, {1.0, kWhite}};
  fill.gradient.opacities = {{0.0, 1.0}, {1.0, 1.0}};
  fill.angle = 80;
  LayerNode layer = styled(fx);
  layer.pixels = Raster::filled({0, 20, kCanvas.right, 40}, kBlue);
  const Raster out = alone(layer);
  EXPECT_GT(rgbAt(out, 40, 20).r, 230) << "the top edge is near the gradient's end";
  EXPECT_LT(rgbAt(out, 40, 39).r, 25) << "the bottom edge near its start";

  // A soft rim fainter than half is left out of the box: the gradient spans the solid rows.
  fill.angle = 90;
  layer = styled(fx);
  layer.pixels = Raster::filled({0, 18, kCanvas.right, 42}, kBlue, 60);
  for (int y = 20; y < 40; ++y)
    for (int x = 0; x < kCanvas.right; ++x) layer.pixels.mutablePixel(x, y)[3] = 255;
  const Raster soft = alone(layer);
  EXPECT_EQ(rgbAt(soft, 40, 20).r, 255) << "the top solid row is the gradient's end";
  EXPECT_EQ(rgbAt(soft, 40, 30).r, 128);

  // A radial gradient's end goes to the nearest whole pixel: from the centre row 25 (of 16 to 35)
  // 19 / 2 x 1.12 = 10.64 up ends on row 15, not 14, so row 16 is 9 tenths of the way out.
  fill.style = engine::GradientStyle::Radial;
  fill.scale = 1.12;
  layer = styled(fx);
  layer.pixels = Raster::filled({10, 16, 30, 35}, kBlue);
  EXPECT_NEAR(rgbAt(alone(layer), 20, 16).r, 230, 1);
  fill.style = engine::GradientStyle::Linear;
  fill.scale = 1.0;

  // A shape layer's gradient spans its path, whatever its stored pixels cover.
  fill.angle = 90;
  layer = styled(fx);
  layer.kind = engine::LayerKind::SolidFill;
  fixtures::addBlock(layer, "vmsk", fixtures::vectorMask({{1, fixtures::rectPath(30, 10, 50, 50)}}, 80, 60));
  layer.pixels = Raster::filled({30, 10, 50, 30}, kBlue);
  EXPECT_NEAR(rgbAt(alone(layer), 40, 29).r, 128, 12) << "half way down the path, not at the pixels' bottom";

  // At 45 degrees over a square the gradient runs corner to corner, so each diagonal is one
  // colour, though the start's height comes out a hair short of whole.
  fill.angle = 45;
  const Raster square = engine::paintedFill(fill, Rect{0, 0, 8, 8}, engine::RectF(Rect{0, 0, 8, 8}));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(rgbAt(square, i, i + 1), rgbAt(square, i + 1, i + 2)) << i;
}

}  // namespace
