// Engine document -> PSD -> engine document gives the same document, whatever the channel
// compression, and writing what was read gives the same bytes again; so do the real Photoshop
// files of the corpus (QUILLARY_CORPUS_DIR/psd, optional) that open, and the others are refused
// with a message naming them. The PackBits encoder finds runs a word at a time: its rows have runs
// and row ends at every position around those words. Then saves, layer effects and pattern tiles.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <iostream>

#include "document_compare.h"
#include "engine/composite.h"
#include "engine/engine_fixtures.h"
#include "engine/layer_blocks_fixtures.h"
#include "engine/layer_effects.h"
#include "engine/stored_image_closeness.h"
#include "engine/vector_mask.h"
#include "format_errors.h"
#include "formats/byte_reader.h"
#include "formats/byte_writer.h"
#include "formats/descriptor.h"
#include "formats/document_io.h"
#include "formats/layer_blocks.h"
#include "formats/layer_effects_reader.h"
#include "formats/packbits.h"
#include "formats/pattern_blocks.h"
#include "formats/psd_writer.h"
#include "sample_documents.h"

namespace {

using samples::DescriptorWriter;
using Bytes = std::vector<std::uint8_t>;

engine::DocumentContent roundTrip(const engine::DocumentContent& doc,
                                  formats::Compression compression = formats::Compression::Rle) {
  return formats::decodePsd(formats::encodePsd(doc, compression), "round trip").content;
}

TEST(PsdRoundTrip, EveryFeatureSurvivesWithEveryCompressionAndWritingWhatWasReadOrRetaggedGivesItBack) {
  const engine::DocumentContent doc = samples::richDocument();
  for (auto compression : {formats::Compression::Raw, formats::Compression::Rle, formats::Compression::Zip,
                           formats::Compression::ZipPredicted}) {
    SCOPED_TRACE(int(compression));
    EXPECT_EQ(compare::documentsDiffer(doc, roundTrip(doc, compression)), "");
  }
  for (const engine::DocumentContent& other : {samples::menuDocument(), samples::largeDocument(14, 400, 300)})
    EXPECT_EQ(compare::documentsDiffer(other, roundTrip(other)), "");
  const Bytes first = formats::encodePsd(doc);
  engine::DocumentContent read = formats::decodePsd(first, "first").content;
  EXPECT_EQ(formats::encodePsd(read), first);
  // Keywords changed after reading replace the old ones in both places they are kept, and a
  // recoloured fill layer's colour its old one; a name longer than a Pascal string keeps every
  // character.
  read.keywords = {"Build Menu Complete", "3"};
  read.layers[1].fillColor = {250, 128, 7};
  for (int i = 0; i < 40; ++i) read.layers[3].name += " Bouton é " + std::to_string(i);
  EXPECT_EQ(compare::documentsDiffer(read, roundTrip(read)), "");
}

// Other readers tell shape layers and protected transparency by these bits.
TEST(PsdRoundTrip, LayerFlagsTheEngineDoesNotUseLinkGroupsBeyondSixteenBitsAndAResolutionsUnitsAreKept) {
  engine::DocumentContent doc = samples::menuDocument(64, 48);
  doc.layers[0].keptRecordFlags = 0x01;
  doc.layers[1].keptRecordFlags = 0x10 | 0x20;
  doc.layers[2].keptRecordFlags = 0x01 | 0x20 | 0x80;
  doc.layers[2].visible = false;
  EXPECT_EQ(compare::documentsDiffer(doc, roundTrip(doc)), "");

  doc.layers[0].linkGroup = 70000;
  doc.layers[2].linkGroup = 70000;
  doc.layers[3].linkGroup = 5;
  const engine::DocumentContent back = roundTrip(doc);
  EXPECT_NE(back.layers[0].linkGroup, 0u);
  EXPECT_EQ(back.layers[0].linkGroup, back.layers[2].linkGroup);
  EXPECT_NE(back.layers[3].linkGroup, back.layers[0].linkGroup);
  EXPECT_EQ(back.layers[1].linkGroup, 0u);

  // A changed resolution is written into the kept block.
  doc.resources.push_back(
      {1005, "", std::make_shared<const Bytes>(Bytes{0, 72, 0, 0, 0, 2, 0, 1, 0, 72, 0, 0, 0, 2, 0, 1})});
  doc.resolution = 150.0;
  const engine::DocumentContent resized = roundTrip(doc);
  EXPECT_DOUBLE_EQ(resized.resolution, 150.0);
  ASSERT_EQ(resized.resources.size(), 1u);
  // The display units (centimetres) the file had are kept.
  EXPECT_EQ((*resized.resources[0].data)[5], 2);
}

// Blocks as Photoshop writes them, with bytes beyond what the engine uses: a vector mask with a
// clipboard record and trailing bytes, curves with their numbered list, and so on.
Bytes pathBlock() {
  fixtures::BlockBytes b;
  b.u32(3).u32(0);
  const auto record = [&](int type, std::initializer_list<std::uint32_t> words) {
    b.u16(type);
    for (std::uint32_t v : words) b.u32(v);
    b.zeros(24 - 4 * int(words.size()));
  };
  record(6, {});
  record(8, {0x00000007, 0xABCD0000});  // "not full", with bytes no field holds
  record(0, {0x00040001, 0x00010000, 0x12345678});
  for (std::uint32_t k = 0; k < 4; ++k) {
    const std::uint32_t y = (k / 2 ? 0x00800000u : 0x00200000u), x = (k % 3 ? 0x00C00000u : 0x00100000u);
    record(1, {y, x, y, x, y, x});
  }
  record(7, {0, 0, 0x01000000, 0x01000000, 0x00010000});
  return b.u8(9).u8(9).u8(9).bytes;
}

Bytes curvesBlock() {
  fixtures::BlockBytes b;
  b.u8(0).u16(1).u32(0b1001);  // composite and blue
  for (int c = 0; c < 2; ++c) b.u16s({2, 0, 30, 255, 220});
  return b.tag("Crv ").u16(4).u32(1).u16s({2, 3, 0, 0, 200, 128, 255, 255}).u8(0).u8(0).u8(7).bytes;
}

Bytes levelsBlock() {
  fixtures::BlockBytes b;
  b.u16(2);
  for (int i = 0; i < 29; ++i) b.u16s({i, 250 - i, 3, 240, 90 + i});
  return b.tag("Lvls").u16(3).u16(62).zeros(10).bytes;
}

Bytes hueBlock() {
  fixtures::BlockBytes b;
  for (int k = 0; k < 50; ++k) b.u16(k ? 2 * k + 1 : 2);  // version 2, then words of odd numbers
  return b.bytes;
}

Bytes withoutMergedImage(const Bytes& psd) {
  formats::ByteReader r(psd, "psd");
  r.skip(26, "the header");
  for (const char* section : {"the colour mode data", "the image resources", "the layer section"})
    r.skip(r.u32(section), section);
  return {psd.begin(), psd.begin() + std::ptrdiff_t(r.position())};
}

engine::LayerNode adjustmentLayer(engine::LayerKind kind, const char* key, Bytes data) {
  engine::LayerNode n = engine::LayerNode::artLayer(key);
  n.kind = kind;
  n.extraBlocks.push_back(samples::block(key, std::move(data)));
  return n;
}

// Read, the blocks become the layers' settings; written again, the file is the same.
TEST(PsdRoundTrip, VectorMasksAdjustmentsAndTypeLayersAreWrittenBackAsReadAndKindsFollowTheLayer) {
  using K = engine::LayerKind;
  engine::DocumentContent doc = samples::menuDocument(64, 48);
  engine::LayerNode shape = samples::pixelLayer("Shape 1", {4, 4, 40, 30}, 9);
  shape.extraBlocks = {samples::block("vsms", pathBlock()), samples::block("knko", {1, 0, 0, 0}),
                       samples::block("lmgm", {1, 0, 0, 0}), samples::block("vmgm", {1, 0, 0, 0}),
                       samples::block("infx", {1, 0, 0, 0}),
                       samples::block("vogk", {0, 0, 0, 1})};
  engine::LayerNode text = samples::pixelLayer("Title", {2, 2, 30, 12}, 10);
  text.kind = K::Text;
  text.extraBlocks = {samples::block("vmsk", pathBlock()), samples::block("TySh", {0, 1, 2, 3, 4, 5, 6, 7})};
  const std::vector<engine::LayerNode> adjustments{
      adjustmentLayer(K::Curves, "curv", curvesBlock()), adjustmentLayer(K::Levels, "levl", levelsBlock()),
      adjustmentLayer(K::HueSaturation, "hue2", hueBlock()), adjustmentLayer(K::HueSaturation, "hue ", hueBlock()),
      adjustmentLayer(K::Exposure, "expA", {0, 1, 0x3F, 0, 0, 0, 0x3C, 0x23, 0xD7, 0x0A, 0x3F, 0x99, 0x99, 0x9A, 0, 0}),
      adjustmentLayer(K::Posterize, "post", {0, 6, 0, 0}), adjustmentLayer(K::Threshold, "thrs", {0, 100, 0, 0}),
      adjustmentLayer(K::BrightnessContrast, "brit", {0, 10, 0xFF, 0xEC, 0, 127, 0, 0}),
      adjustmentLayer(K::Curves, "curv", {0, 0})};  // unreadable: kept as it is
  // A layer rasterised from text: its kind follows the layer, not the blocks it once had.
  engine::LayerNode rasterised = samples::pixelLayer("Was Text", {0, 0, 8, 8}, 2);
  rasterised.extraBlocks = {samples::block("TySh", {0, 1}), samples::block("shmd", {0, 0, 0, 0})};
  doc.layers.insert(doc.layers.begin(), rasterised);
  doc.layers.insert(doc.layers.begin(), adjustments.begin(), adjustments.end());
  doc.layers.insert(doc.layers.begin(), {shape, text});

  const Bytes first = formats::encodePsd(doc);
  const engine::DocumentContent read = formats::decodePsd(first, "first").content;
  ASSERT_TRUE(read.layers[0].vectorMask && read.layers[1].vectorMask);
  EXPECT_TRUE(read.layers[0].vectorMask->shapeSettings);
  EXPECT_TRUE(read.layers[0].knockout);
  EXPECT_TRUE(read.layers[0].layerMaskHidesEffects && read.layers[0].vectorMaskHidesEffects &&
              read.layers[0].blendInteriorEffectsAsGroup);
  EXPECT_FALSE(read.layers[1].layerMaskHidesEffects || read.layers[1].vectorMaskHidesEffects);
  for (std::size_t i = 2; i < 10; ++i) EXPECT_TRUE(read.layers[i].adjustment) << read.layers[i].name;
  EXPECT_FALSE(read.layers[10].adjustment);
  EXPECT_EQ(read.layers[11].kind, engine::LayerKind::Normal);
  EXPECT_EQ(formats::findBlock(read.layers[11].extraBlocks, {"TySh"}), nullptr);
  EXPECT_NE(formats::findBlock(read.layers[11].extraBlocks, {"shmd"}), nullptr);
  // The merged image differs: read, the adjustments apply.
  EXPECT_EQ(withoutMergedImage(formats::encodePsd(read)), withoutMergedImage(first));

  // Moved, only the knots' points change.
  engine::DocumentContent moved = read;
  engine::moveVectorMask(moved.layers[0], moved.canvas(), moved.canvas(), 16, 0);
  const engine::DocumentContent back = formats::decodePsd(formats::encodePsd(moved), "moved").content;
  const auto& before = read.layers[0].vectorMask->records;
  const auto& after = back.layers[0].vectorMask->records;
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    engine::PathRecord expected = before[i];
    if (expected.isKnot())
      for (std::size_t k = 1; k < 6; k += 2) expected.knot[k] += 1 << 22;  // 16 of 64 pixels
    EXPECT_EQ(after[i], expected) << "record " << i;
  }
  EXPECT_EQ(back.layers[0].vectorMask->kept, read.layers[0].vectorMask->kept);
}

// The file is written in RGB: its merged image mixes as an RGB document's layers do, so that
// it matches what the layers make when read back, though the document came from a Lab file.
TEST(PsdSave, ADocumentReadInLabIsWrittenWithTheMergedImageOfItsRgbLayers) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("lab.psd").toStdString();
  engine::DocumentContent doc = samples::menuDocument(16, 16);
  doc.layers.insert(doc.layers.begin(), fixtures::solidLayer("Ink", {0, 0, 16, 16}, {0, 0, 0}, 128));
  doc.mixing = engine::ColorMixing::Lab;
  formats::writePsd(doc, path);
  const formats::PsdFile back = formats::readPsd(path);
  EXPECT_EQ(back.content.mixing, engine::ColorMixing::Rgb);
  EXPECT_TRUE(back.storedComposite.samePixels(engine::compositeDocument(back.content)));
  EXPECT_FALSE(back.storedComposite.samePixels(engine::compositeDocument(doc)));
}

TEST(PsdSave, AFailedSaveLeavesTheOldFileAsItWas) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("menu.psd").toStdString();
  formats::writePsd(samples::menuDocument(64, 48), path);
  const Bytes before = fileBytes(path);
  ASSERT_FALSE(before.empty());

  // A document that cannot be written at all.
  engine::DocumentContent broken = samples::menuDocument(64, 48);
  broken.width = 0;
  EXPECT_THROW(formats::writePsd(broken, path), formats::FormatError);

  // The disk fills up half way.
  const std::string message = formatErrorOf([&] { formats::writePsd(samples::menuDocument(200, 150), path); }, 4096);
  EXPECT_NE(message.find("cannot save \"" + path + "\""), std::string::npos) << message;
  EXPECT_EQ(fileBytes(path), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path().toStdString()), {}), 1)
      << "no temporary file is left behind";

  EXPECT_THROW(formats::writePsd(samples::menuDocument(8, 8), dir.filePath("missing/menu.psd").toStdString()),
               formats::FormatError);

  formats::writePsd(samples::menuDocument(32, 32), path);
  EXPECT_EQ(formats::readPsd(path).content.width, 32);
}

TEST(CorpusConformance, EveryFileOpensOrIsRefusedClearlyAndSurvivesARoundTrip) {
  const std::filesystem::path folder = fixtures::corpusRoot() / "psd";
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.path().extension() == ".psd" || entry.path().extension() == ".psb") files.push_back(entry.path());
  if (files.empty()) GTEST_SKIP() << "no corpus of Photoshop files at " << folder << " (QUILLARY_CORPUS_DIR)";
  std::sort(files.begin(), files.end());
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    formats::PsdFile file;
    try {
      file = formats::readPsd(path.string());
    } catch (const formats::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find("cannot open \"" + path.string() + "\": "), std::string::npos) << e.what();
      std::cout << "refused " << path.filename().string() << ": " << e.what() << "\n";
      continue;
    }
    EXPECT_EQ(compare::documentsDiffer(file.content, roundTrip(file.content)), "");
  }
}

Bytes pack(const Bytes& row) {
  Bytes out(formats::packBitsBound(row.size()));
  out.resize(formats::packBitsRow(row.data(), row.size(), out.data()));
  return out;
}

void expectRoundTrip(const Bytes& row, const std::string& what) {
  Bytes back(row.size());
  ASSERT_TRUE(formats::unpackBitsRow(pack(row), back)) << what;
  EXPECT_EQ(back, row) << what;
}

// No two neighbours equal.
Bytes distinct(std::size_t n) {
  Bytes row(n);
  for (std::size_t i = 0; i < n; ++i) row[i] = std::uint8_t(i * 7 % 251 + 1);
  return row;
}

TEST(PackBits, UniformRowsBecomeRunsOf128AndRunsAreFoundAtEveryOffset) {
  for (std::size_t n : {1u, 2u, 3u, 8u, 9u, 127u, 128u, 129u, 256u, 1000u}) {
    const Bytes row(n, 0x5A);
    expectRoundTrip(row, "uniform " + std::to_string(n));
    // One byte alone is a literal of one: two bytes as well.
    EXPECT_EQ(pack(row).size(), 2 * ((n + 127) / 128)) << n;
  }
  for (std::size_t at = 1; at < 40; ++at) {
    Bytes row = distinct(60);
    for (std::size_t i = at; i < at + 4; ++i) row[i] = 0;
    expectRoundTrip(row, "run of four at " + std::to_string(at));
    // A literal up to the run, the run, and the rest as another literal.
    EXPECT_EQ(pack(row).size(), (1 + at) + 2 + (1 + 60 - at - 4)) << at;
  }
}

TEST(PackBits, RunsAndLiteralsAtTheirLimits) {
  Bytes pairEnd = distinct(20);
  pairEnd[19] = pairEnd[18];
  Bytes mixed;
  for (int block = 0; block < 40; ++block) {
    const Bytes literal = distinct(std::size_t(block * 13 % 150 + 1));
    mixed.insert(mixed.end(), literal.begin(), literal.end());
    mixed.insert(mixed.end(), std::size_t(block * 29 % 140 + 1), std::uint8_t(block));
  }
  expectRoundTrip(distinct(300), "literals longer than 128");
  expectRoundTrip(pairEnd, "two equal bytes at the end");
  expectRoundTrip(mixed, "runs and literals of many lengths");
  EXPECT_LE(pack(distinct(300)).size(), formats::packBitsBound(300));
}

void dropShadow(DescriptorWriter& d, bool globalLight, double angle) {
  d.w.tag("Objc");
  d.object("DrSh", globalLight ? 8 : 9);
  if (!globalLight) {  // a cone contour: up to a corner half way, and down again
    d.item("TrnS", "Objc");
    d.object("ShpC", 1);
    d.item("Crv ", "VlLs").u32(3);
    for (const auto& [x, y, corner] : {std::tuple{0.0, 0.0, false}, {128.0, 255.0, true}, {255.0, 0.0, false}}) {
      d.w.tag("Objc");
      d.object("CrPt", corner ? 3 : 2);
      d.real("Hrzn", x);
      d.real("Vrtc", y);
      if (corner) d.boolean("Cnty", false);
    }
  }
  d.boolean("enab", true);
  d.enumerated("Md  ", "BlnM", "Mltp");
  d.rgb("Clr ", 10, 20, 30);
  d.unitFloat("Opct", "#Prc", 60);
  d.boolean("uglg", globalLight);
  d.unitFloat("lagl", "#Ang", angle);
  d.unitFloat("Dstn", "#Pxl", 7);
  d.unitFloat("blur", "#Pxl", 4);
}

Bytes effectsBlock() {
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

engine::DocumentContent styledDocument(Bytes effects, bool enabled) {
  engine::DocumentContent doc;
  doc.width = doc.height = 20;
  doc.layers.push_back(samples::pixelLayer("Styled", {0, 0, 10, 10}, 1));
  doc.layers[0].hasStyle = true;
  doc.layers[0].styleEnabled = enabled;
  doc.layers[0].extraBlocks.push_back(samples::block("lfx2", std::move(effects)));
  return doc;
}

TEST(LayerEffectsReader, ReadsListsOfEffectsWithTheGlobalLightWhereTheyUseItAndRefusesACutShortBlock) {
  const engine::LayerEffects fx = formats::readLayerEffects(effectsBlock(), {30, 40}, "styled.psd");
  ASSERT_EQ(fx.dropShadows.size(), 2u);
  EXPECT_EQ(fx.dropShadows[0].angle, 30);  // the global light's, not its own 90
  EXPECT_EQ(fx.dropShadows[1].angle, 45);
  EXPECT_EQ(fx.dropShadows[1].mode, engine::BlendMode::Multiply);
  EXPECT_DOUBLE_EQ(fx.dropShadows[1].opacity, 0.6);
  EXPECT_EQ(fx.dropShadows[1].distance, 7);
  EXPECT_EQ(fx.dropShadows[1].color, (engine::Rgb{10, 20, 30}));
  EXPECT_TRUE(fx.dropShadows[0].contour.isLinear());
  EXPECT_NEAR(fx.dropShadows[1].contour(0.25f), 0.5f, 0.01f) << "straight up to the corner";
  EXPECT_NEAR(fx.dropShadows[1].contour(1.0f), 0.0f, 0.01f);
  ASSERT_EQ(fx.strokes.size(), 1u);
  EXPECT_EQ(fx.strokes[0].position, engine::StrokeEffect::Position::Inside);
  EXPECT_EQ(fx.strokes[0].size, 3);
  EXPECT_EQ(fx.strokes[0].fill.color, (engine::Rgb{255, 128, 0}));
  // A cut-short block is refused, and its layer kept undrawn.
  Bytes cut = effectsBlock();
  cut.resize(cut.size() / 2);
  EXPECT_THROW(formats::readLayerEffects(cut, {}, "styled.psd"), formats::FormatError);
  engine::DocumentContent doc = styledDocument(cut, true);
  formats::attachLayerEffects(doc, "styled.psd");
  EXPECT_EQ(doc.layers[0].effects, nullptr);
  EXPECT_TRUE(doc.layers[0].hasStyle);
}

// A fill's or an effect's colour in the document's own model: CMYK inks convert as a CMYK
// document's pixels do, Lab through D50; a model the reader does not know gives no colour.
TEST(DescriptorColours, FillColoursOfEveryModelBecomeRgb) {
  const auto fill = [](const char* model, std::vector<std::pair<const char*, double>> parts) {
    DescriptorWriter d;
    d.w.u32(16);
    d.object("null", 1);
    d.item("Clr ", "Objc");
    d.object(model, int(parts.size()));
    for (const auto& [key, v] : parts) d.real(key, v);
    return formats::solidFillColor(d.w.buffer(), "fill.psd");
  };
  EXPECT_EQ(fill("CMYC", {{"Cyn ", 100}, {"Mgnt", 50}, {"Ylw ", 0}, {"Blck", 20}}), (engine::Rgb{0, 102, 204}));
  EXPECT_EQ(fill("LbCl", {{"Lmnc", 100}, {"A   ", 0}, {"B   ", 0}}), (engine::Rgb{255, 255, 255}));
  EXPECT_EQ(fill("Grsc", {{"Gry ", 100}}), (engine::Rgb{0, 0, 0}));
  EXPECT_FALSE(fill("BkCl", {{"Bk  ", 1}}).has_value());
  EXPECT_EQ(fill("HSBC", {{"H   ", std::nan("")}, {"Strt", 100}, {"Brgh", 100}}), (engine::Rgb{255, 0, 0})) << "no hue is red";
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
Bytes patternBlock(int claimedWidth) {
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
