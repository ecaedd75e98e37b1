// What the PSD writer decides beyond copying fields: effects switched off where Photoshop looks,
// blocks of a former kind left out, the merged image's transparency, long names, and saves that
// never damage the file they replace.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "format_errors.h"
#include "formats/descriptor.h"
#include "formats/document_io.h"
#include "formats/layer_blocks.h"
#include "sample_documents.h"

namespace {

engine::DocumentContent roundTrip(const engine::DocumentContent& doc) {
  return formats::decodePsd(formats::encodePsd(doc), "written.psd").content;
}

const engine::TaggedBlock* findBlock(const engine::LayerNode& n, const char* key) {
  return formats::findBlock(n.extraBlocks, {key});
}

engine::DocumentContent oneLayer(engine::LayerNode layer) {
  engine::DocumentContent doc;
  doc.width = 40;
  doc.height = 30;
  doc.activeLayer = layer.id;
  doc.layers.push_back(std::move(layer));
  return doc;
}

TEST(PsdWriter, LayerEffectsAreWrittenSwitchedAsTheLayerSays) {
  engine::LayerNode styled = samples::pixelLayer("Styled", {0, 0, 10, 10}, 1);
  styled.hasStyle = true;
  styled.extraBlocks.push_back(samples::block("lfx2", samples::effectsBlock(true)));
  styled.styleEnabled = false;
  engine::DocumentContent back = roundTrip(oneLayer(styled));
  ASSERT_NE(findBlock(back.layers[0], "lfx2"), nullptr);
  EXPECT_EQ(formats::effectsSwitch("lfx2", *findBlock(back.layers[0], "lfx2")->data, "x"), false);
  EXPECT_TRUE(back.layers[0].hasStyle);
  EXPECT_FALSE(back.layers[0].styleEnabled);

  back.layers[0].styleEnabled = true;
  EXPECT_TRUE(roundTrip(back).layers[0].styleEnabled);

  back.layers[0].hasStyle = false;  // the style was cleared
  const engine::DocumentContent cleared = roundTrip(back);
  EXPECT_FALSE(cleared.layers[0].hasStyle);
  EXPECT_EQ(findBlock(cleared.layers[0], "lfx2"), nullptr);
}

TEST(PsdWriter, KindsFollowTheLayerNotTheBlocksItOnceHadAndLongNamesAreKept) {
  engine::LayerNode rasterised = samples::pixelLayer("Was Text", {0, 0, 8, 8}, 2);
  rasterised.extraBlocks.push_back(samples::block("TySh", {0, 1}));
  rasterised.extraBlocks.push_back(samples::block("shmd", {0, 0, 0, 0}));
  const engine::DocumentContent back = roundTrip(oneLayer(rasterised));
  EXPECT_EQ(back.layers[0].kind, engine::LayerKind::Normal);
  EXPECT_EQ(findBlock(back.layers[0], "TySh"), nullptr);
  EXPECT_NE(findBlock(back.layers[0], "shmd"), nullptr);

  engine::LayerNode fill = engine::LayerNode::artLayer("Color Fill 1");
  fill.kind = engine::LayerKind::SolidFill;
  fill.fillColor = {1, 2, 3};
  fill.pixels = engine::Raster::filled({0, 0, 40, 30}, fill.fillColor);
  engine::DocumentContent doc = roundTrip(oneLayer(fill));
  doc.layers[0].fillColor = {250, 128, 7};  // recoloured after reading
  const engine::LayerNode recoloured = roundTrip(doc).layers[0];
  EXPECT_EQ(recoloured.kind, engine::LayerKind::SolidFill);
  EXPECT_EQ(recoloured.fillColor, (engine::Rgb{250, 128, 7}));

  // Names longer than a Pascal string keep every character.
  std::string name;
  for (int i = 0; i < 40; ++i) name += "Bouton é " + std::to_string(i);
  EXPECT_EQ(roundTrip(oneLayer(samples::pixelLayer(name, {0, 0, 2, 2}, 3))).layers[0].name, name);
}

TEST(PsdWriter, TheMergedImageHasTransparencyOnlyWithoutABackground) {
  const std::vector<std::uint8_t> opaque = formats::encodePsd(samples::menuDocument(16, 16));
  EXPECT_EQ(opaque[13], 3) << "header channels";
  engine::DocumentContent clear = samples::menuDocument(16, 16);
  clear.layers.pop_back();
  clear.layers[0].pixels = samples::artwork({0, 0, 4, 4}, 1, 0);
  for (auto& l : clear.layers) l.visible = &l == &clear.layers[0];
  const std::vector<std::uint8_t> transparent = formats::encodePsd(clear);
  EXPECT_EQ(transparent[13], 4);
  const formats::PsdFile read = formats::decodePsd(transparent, "clear.psd");
  EXPECT_EQ(read.storedComposite.alphaAt(10, 10), 0);
  EXPECT_FALSE(read.content.layers.back().isBackground);
}

std::vector<char> contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PsdSave, AFailedSaveLeavesTheOldFileAsItWas) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("menu.psd").toStdString();
  formats::writePsd(samples::menuDocument(64, 48), path);
  const std::vector<char> before = contents(path);
  ASSERT_FALSE(before.empty());

  // A document that cannot be written at all.
  engine::DocumentContent broken = samples::menuDocument(64, 48);
  broken.width = 0;
  EXPECT_THROW(formats::writePsd(broken, path), formats::FormatError);

  // The disk fills up half way.
  const std::string message = formatErrorOf([&] { formats::writePsd(samples::menuDocument(200, 150), path); }, 4096);
  EXPECT_NE(message.find("cannot save \"" + path + "\""), std::string::npos) << message;
  EXPECT_EQ(contents(path), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path().toStdString()), {}), 1)
      << "no temporary file is left behind";

  EXPECT_THROW(formats::writePsd(samples::menuDocument(8, 8), dir.filePath("missing/menu.psd").toStdString()),
               formats::FormatError);

  formats::writePsd(samples::menuDocument(32, 32), path);
  EXPECT_EQ(formats::readPsd(path).content.width, 32);
}

}  // namespace
