// Where Photoshop's blending differs from the textbook formulas, and the integer paths of the
// compositor against a floating-point reference.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/composite.h"
#include "engine_fixtures.h"

using namespace engine;
using fixtures::blended;
using fixtures::blendOne;
using fixtures::strip;

TEST(PhotoshopBlending, HardMixSoftLightLighterAndDarkerColourAndTheFillOfTheSpecialModesFollowPhotoshop) {
  // Hard mix is a threshold of vivid light: black and white sum to exactly the threshold; which
  // side wins depends on which is the source.
  EXPECT_EQ(blendOne(BlendMode::HardMix, {0, 255, 100}, {255, 0, 200}), (Rgb{0, 255, 255}));
  EXPECT_EQ(blendOne(BlendMode::HardMix, {100, 100, 100}, {100, 200, 160}), (Rgb{0, 255, 255}));
  // Soft light uses the square root for dark backdrops.
  EXPECT_EQ(blendOne(BlendMode::SoftLight, {26, 26, 26}, {255, 255, 255}).r, 81);  // sqrt(0.102); the W3C curve gives 77
  EXPECT_EQ(blendOne(BlendMode::SoftLight, {200, 200, 200}, {0, 0, 0}).r, 157);
  // Lighter and darker colour compare luminosity, not channel sums.
  const Rgb green{0, 255, 0}, blue{0, 0, 255};
  EXPECT_EQ(blendOne(BlendMode::LighterColor, blue, green), green);
  EXPECT_EQ(blendOne(BlendMode::LighterColor, green, blue), green);
  EXPECT_EQ(blendOne(BlendMode::DarkerColor, green, blue), blue);

  // Linear dodge at half fill adds half the colour, where half opacity fades the clipped sum.
  EXPECT_EQ(blendOne(BlendMode::LinearDodge, {200, 200, 200}, {200, 200, 200}, 255, 128).r, 255);
  EXPECT_EQ(blendOne(BlendMode::LinearDodge, {200, 200, 200}, {200, 200, 200}, 128, 255).r, 228);
  EXPECT_EQ(blendOne(BlendMode::LinearDodge, {100, 100, 100}, {100, 100, 100}, 255, 128).r, 150);
  // Other modes fade with fill as with opacity.
  EXPECT_EQ(blendOne(BlendMode::Multiply, {200, 200, 200}, {0, 0, 0}, 255, 128),
            blendOne(BlendMode::Multiply, {200, 200, 200}, {0, 0, 0}, 128));
  // Over transparency fill still fades the coverage.
  LayerNode dodge = blended(strip({10, 20, 30}), BlendMode::LinearDodge);
  dodge.fillOpacity = 128;
  EXPECT_EQ(compositeLayers({dodge}, {0, 0, 1, 1}).alphaAt(0, 0), 128);
}

TEST(Compositing, IntegerPathsAgreeWithTheFloatingPointFormula) {
  std::mt19937 gen(5);
  std::uniform_int_distribution<int> byte(0, 255);
  const auto next = [&] { return std::uint8_t(byte(gen)); };
  for (const BlendMode mode : {BlendMode::Normal, BlendMode::Multiply, BlendMode::Screen, BlendMode::Overlay}) {
    for (int i = 0; i < 500; ++i) {
      const Rgb b{next(), next(), next()}, s{next(), next(), next()};
      const std::uint8_t ab = next(), as = next(), opacity = next();
      const Raster out = compositeLayers({blended(strip(s, 1, as), mode, opacity), strip(b, 1, ab)}, {0, 0, 1, 1});
      // W3C compositing of a blended colour, in floating point.
      const float fb[3] = {b.r / 255.0f, b.g / 255.0f, b.b / 255.0f}, fs[3] = {s.r / 255.0f, s.g / 255.0f, s.b / 255.0f};
      float blended[3];
      blendColor(mode, fb, fs, blended);
      // The layer's coverage is an 8-bit value, as in Photoshop's 8-bit compositing.
      const float a = std::round(as * opacity / 255.0f) / 255.0f, d = ab / 255.0f, ao = a + d * (1 - a);
      ASSERT_NEAR(out.pixel(0, 0)[3], ao * 255, 1.01);
      if (ao * 255 < 8) continue;  // too little coverage for the colour to be meaningful
      for (int c = 0; c < 3; ++c) {
        const float mixed = (1 - d) * fs[c] + d * blended[c];
        const float expected = (a * mixed + (1 - a) * d * fb[c]) / ao * 255;
        ASSERT_NEAR(out.pixel(0, 0)[c], expected, 2.01) << "mode " << int(mode) << " case " << i;
      }
    }
  }
}
