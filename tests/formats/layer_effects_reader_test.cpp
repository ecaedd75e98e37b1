// Reading layer effects into the engine's typed parameters: values, lists of effects, the
// document's global light, and the style kept in the file through a write, switched as the layer
// says.

#include <gtest/gtest.h>

#include "engine/layer_blocks_fixtures.h"
#include "engine/layer_effects.h"
#include "formats/byte_writer.h"
#include "formats/descriptor.h"
#include "formats/document_io.h"
#include "formats/layer_blocks.h"
#include "formats/layer_effects_reader.h"
#include "formats/pattern_blocks.h"
#include "sample_documents.h"

namespace {

using samples::DescriptorWriter;

void dropShadow(DescriptorWriter& d, bool globalLight, double angle) {
  d.w.tag("Objc");
  d.object("DrSh", 8);
  d.boolean("enab", true);
  d.enumerated("Md  ", "BlnM", "Mltp");
  d.rgb("Clr ", 10, 20, 30);
  d.unitFloat("Opct", "#Prc", 60);
  d.boolean("uglg", globalLight);
  d.unitFloat("lagl", "#Ang", angle);
  d.unitFloat("Dstn", "#Pxl", 7);
  d.unitFloat("blur", "#Pxl", 4);
}

std::vector<std::uint8_t> effectsBlock() {
  DescriptorWriter d;
  d.w.u32(0);
  d.w.u32(16);
  d.object("null", 3);
  d.boolean("masterFXSwitch", true);
  d.item("dropShadowMulti", "VlLs").u32(2);
  dropShadow(d, true, 90);
  dropShadow(d, false, 45);
  d.item("FrFX", "Objc");
  d.object("FrFX", 5);
  d.boolean("enab", true);
  d.enumerated("Styl", "FStl", "InsF");
  d.enumerated("PntT", "FrFl", "SClr");
  d.unitFloat("Sz  ", "#Pxl", 3);
  d.rgb("Clr ", 255, 128, 0);
  d.w.padTo(2);
  return std::move(d.w.buffer());
}

TEST(LayerEffectsReader, ReadsListsOfEffectsWithTheGlobalLightWhereTheyUseIt) {
  const engine::LayerEffects fx = formats::readLayerEffects(effectsBlock(), {30, 40}, "styled.psd");
  ASSERT_EQ(fx.dropShadows.size(), 2u);
  EXPECT_EQ(fx.dropShadows[0].angle, 30);  // the global light's, not its own 90
  EXPECT_EQ(fx.dropShadows[1].angle, 45);
  EXPECT_EQ(fx.dropShadows[1].mode, engine::BlendMode::Multiply);
  EXPECT_DOUBLE_EQ(fx.dropShadows[1].opacity, 0.6);
  EXPECT_EQ(fx.dropShadows[1].distance, 7);
  EXPECT_EQ(fx.dropShadows[1].color, (engine::Rgb{10, 20, 30}));
  ASSERT_EQ(fx.strokes.size(), 1u);
  EXPECT_EQ(fx.strokes[0].position, engine::StrokeEffect::Position::Inside);
  EXPECT_EQ(fx.strokes[0].size, 3);
  EXPECT_EQ(fx.strokes[0].fill.color, (engine::Rgb{255, 128, 0}));
}

engine::DocumentContent styledDocument(std::vector<std::uint8_t> effects, bool enabled) {
  engine::DocumentContent doc;
  doc.width = doc.height = 20;
  doc.layers.push_back(samples::pixelLayer("Styled", {0, 0, 10, 10}, 1));
  doc.layers[0].hasStyle = true;
  doc.layers[0].styleEnabled = enabled;
  doc.layers[0].extraBlocks.push_back(samples::block("lfx2", std::move(effects)));
  return doc;
}

TEST(LayerEffectsReader, ACutShortBlockIsRefusedAndItsLayerKeptUndrawn) {
  std::vector<std::uint8_t> cut = effectsBlock();
  cut.resize(cut.size() / 2);
  EXPECT_THROW(formats::readLayerEffects(cut, {}, "styled.psd"), formats::FormatError);
  engine::DocumentContent doc = styledDocument(cut, true);
  formats::attachLayerEffects(doc, "styled.psd");
  EXPECT_EQ(doc.layers[0].effects, nullptr);
  EXPECT_TRUE(doc.layers[0].hasStyle);
}

engine::DocumentContent roundTrip(const engine::DocumentContent& doc) {
  return formats::decodePsd(formats::encodePsd(doc), "written.psd").content;
}

// Switched off where Photoshop looks, and read back so; a cleared style leaves no block.
TEST(LayerEffectsReader, TheStyleIsWrittenSwitchedAsTheLayerSaysAndReadBackSo) {
  engine::DocumentContent back = roundTrip(styledDocument(effectsBlock(), false));
  const engine::TaggedBlock* written = formats::findBlock(back.layers[0].extraBlocks, {"lfx2"});
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(formats::effectsSwitch("lfx2", *written->data, "x"), false);
  EXPECT_TRUE(back.layers[0].hasStyle);
  EXPECT_FALSE(back.layers[0].styleEnabled);
  ASSERT_NE(back.layers[0].effects, nullptr);
  EXPECT_EQ(back.layers[0].effects->strokes.size(), 1u);
  EXPECT_EQ(engine::drawnEffects(back.layers[0]), nullptr);

  back.layers[0].styleEnabled = true;
  EXPECT_TRUE(roundTrip(back).layers[0].styleEnabled);
  back.layers[0].hasStyle = false;
  const engine::DocumentContent cleared = roundTrip(back);
  EXPECT_FALSE(cleared.layers[0].hasStyle);
  EXPECT_EQ(formats::findBlock(cleared.layers[0].extraBlocks, {"lfx2"}), nullptr);
}

// A 'Patt' block of one RGB pattern of 2 x 1 pixels whose channels claim `claimedWidth`.
std::vector<std::uint8_t> patternBlock(int claimedWidth) {
  const std::uint32_t width = std::uint32_t(claimedWidth);
  fixtures::BlockBytes p;
  p.u32(1).u32(3).u16(1).u16(2);                 // version, RGB, 1 x 2
  p.u32(1).u16(0).u8(2).u8('a').u8('b');         // name: one NUL; id "ab"
  p.u32(3).u32(0).u32(0).u32(0).u32(1).u32(width).u32(3);  // the array's length (0) is not used
  const std::uint8_t planes[4][2] = {{255, 0}, {0, 255}, {0, 0}, {255, 128}};
  for (const auto& plane : planes)
    p.u32(1).u32(23 + 2).u32(8).u32(0).u32(0).u32(1).u32(width).u16(8).u8(0).u8(plane[0]).u8(plane[1]);
  formats::ByteWriter w;
  w.u32(std::uint32_t(p.bytes.size()));
  w.bytes(p.bytes);
  w.padTo(4);
  return std::move(w.buffer());
}

TEST(PatternBlocks, TilesAreFoundByTheirIdWithTheirTransparency) {
  const auto patterns = formats::readPatterns(patternBlock(2), "patterns.psd");
  ASSERT_EQ(patterns.count("ab"), 1u);
  const engine::Raster& tile = patterns.at("ab");
  EXPECT_EQ(tile.bounds(), (engine::Rect{0, 0, 2, 1}));
  EXPECT_EQ(tile.pixel(0, 0)[0], 255);
  EXPECT_EQ(tile.pixel(1, 0)[1], 255);
  EXPECT_EQ(tile.alphaAt(1, 0), 128);
  // Channels that claim more pixels than their data holds are refused.
  EXPECT_THROW(formats::readPatterns(patternBlock(3), "patterns.psd"), formats::FormatError);
}

}  // namespace
