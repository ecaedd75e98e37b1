// The densities and feathers of user and vector masks: read from the layouts Photoshop writes,
// tolerated when damaged, and written back the way Photoshop lays them out.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/composite.h"
#include "engine/engine_fixtures.h"
#include "formats/document_io.h"
#include "psd_builder.h"

namespace {

using psdbuild::MaskData;

psdbuild::Layer maskedLayer(const std::string& name, std::vector<std::uint8_t> mask, bool realMask = false) {
  const std::vector<std::uint8_t> colour{1, 2, 3, 4};
  psdbuild::Layer l{.bottom = 2, .right = 2,
                    .channels = {{0, 0, colour}, {1, 0, colour}, {2, 0, colour}, {-2, 0, {9, 9, 9, 9}}},
                    .name = name, .mask = std::move(mask)};
  if (realMask) l.channels.push_back({-3, 0, {77}});
  return l;
}

std::vector<engine::LayerNode> readLayers(const std::vector<psdbuild::Layer>& layers) {
  return formats::decodePsd(psdbuild::withLayers(layers, int(layers.size())), "masks.psd").content.layers;  // top first
}

bool contains(const std::vector<std::uint8_t>& haystack, const std::vector<std::uint8_t>& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

}  // namespace

TEST(PsdMaskParameters, TheLayoutsPhotoshopWritesAreRead) {
  const engine::Rect r{0, 0, 2, 2};
  // A vector mask of density 64 (its rendering in the mask channel is no pixel mask).
  const auto vector = maskedLayer("vector", MaskData().mask(r, 0, 0x18).u8(0x04).u8(64).bytes());
  // A pixel mask of density 230 feathered by 6 pixels.
  const auto user = maskedLayer("user", MaskData().mask(r, 0, 0x10).u8(0x03).u8(230).f64(6.0).bytes());
  // Both masks: the record describes the rendered vector mask first, then the pixel mask (here
  // disabled) as the real one, its density and feather and the vector mask's feather, padded to
  // four bytes.
  const auto both = maskedLayer(
      "both",
      MaskData().mask(r, 0, 0x18).realMask({0, 0, 1, 1}, 255, 0x02).u8(0x0B).u8(191).f64(3.0).f64(2.0).bytes(56), true);
  // A rendering alone, without parameters, is no pixel mask either.
  const auto rendered = maskedLayer("rendered", MaskData().mask(r, 0, 0x08).bytes(20));
  const std::vector<engine::LayerNode> layers = readLayers({rendered, vector, user, both});
  ASSERT_EQ(layers.size(), 4u);

  EXPECT_TRUE(layers[3].mask.empty());
  EXPECT_TRUE(layers[2].mask.empty());
  EXPECT_EQ(layers[2].vectorMaskDensity, 64);
  EXPECT_EQ(layers[2].vectorMaskFeather, 0.0);

  EXPECT_EQ(layers[1].mask.pixels.at(0, 0), 9);
  EXPECT_EQ(layers[1].mask.density, 230);
  EXPECT_EQ(layers[1].mask.feather, 6.0);
  EXPECT_EQ(layers[1].vectorMaskDensity, 255);

  const engine::LayerMask& real = layers[0].mask;
  EXPECT_EQ(real.pixels.bounds(), (engine::Rect{0, 0, 1, 1}));
  EXPECT_EQ(real.pixels.at(0, 0), 77);
  EXPECT_EQ(real.pixels.outside(), 255);
  EXPECT_TRUE(real.disabled);
  EXPECT_EQ(layers[0].mask.density, 191);
  EXPECT_EQ(layers[0].mask.feather, 3.0);
  EXPECT_EQ(layers[0].vectorMaskDensity, 255);
  EXPECT_EQ(layers[0].vectorMaskFeather, 2.0);
}

TEST(PsdMaskParameters, ShortOrUnlikelyValuesLeaveAPlainMask) {
  const engine::Rect r{0, 0, 2, 2};
  // A feather announced but cut short after its density; the file still opens.
  const auto shortFeather = maskedLayer("short", MaskData().mask(r, 0, 0x10).u8(0x03).u8(200).bytes(20));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const auto notANumber = maskedLayer("nan", MaskData().mask(r, 0, 0x10).u8(0x0A).f64(nan).f64(-3.0).bytes());
  const auto huge = maskedLayer("huge", MaskData().mask(r, 0, 0x10).u8(0x02).f64(1e300).bytes());
  const std::vector<engine::LayerNode> layers = readLayers({shortFeather, notANumber, huge});
  ASSERT_EQ(layers.size(), 3u);
  EXPECT_EQ(layers[2].mask.density, 200);
  EXPECT_EQ(layers[2].mask.feather, 0.0);
  EXPECT_EQ(layers[1].mask.feather, 0.0);
  EXPECT_EQ(layers[1].vectorMaskFeather, 0.0);
  EXPECT_EQ(layers[0].mask.feather, engine::kMaxMaskFeather);
}

TEST(PsdMaskParameters, WrittenAsPhotoshopLaysThemOut) {
  engine::DocumentContent doc;
  doc.width = doc.height = 4;
  doc.layers = {fixtures::solidLayer("user", {0, 0, 4, 4}, {1, 2, 3}),
                fixtures::solidLayer("vector", {0, 0, 4, 4}, {1, 2, 3})};
  doc.layers[0].mask = {.pixels = engine::Mask({1, 1, 3, 3}, 0), .density = 230, .feather = 6.0};
  doc.layers[1].vectorMaskDensity = 64;
  const std::vector<std::uint8_t> bytes = formats::encodePsd(doc);

  EXPECT_TRUE(contains(bytes, MaskData().u32(28).mask({1, 1, 3, 3}, 0, 0x10).u8(0x03).u8(230).f64(6.0).bytes()));
  // Only the vector mask's density: an empty mask that says its channel holds nothing.
  EXPECT_TRUE(contains(bytes, MaskData().u32(20).mask({}, 255, 0x18).u8(0x04).u8(64).bytes(4 + 20 + 2)));

  const engine::DocumentContent back = formats::decodePsd(bytes, "written.psd").content;
  EXPECT_EQ(back.layers[0].mask.density, 230);
  EXPECT_EQ(back.layers[0].mask.feather, 6.0);
  EXPECT_TRUE(back.layers[1].mask.empty());
  EXPECT_EQ(back.layers[1].vectorMaskDensity, 64);
}
