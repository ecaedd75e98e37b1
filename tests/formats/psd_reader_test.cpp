// The PSD reader on hand-made files: refusals, colour modes and depths, high-depth and
// large-document layers, keywords in IPTC and XMP blocks that keep all else they hold, the merged
// image, and the densities and feathers of user and vector masks in Photoshop's layouts.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <tuple>

#include "document_compare.h"
#include "engine/composite.h"
#include "engine/engine_fixtures.h"
#include "engine/layer_blocks_fixtures.h"
#include "format_errors.h"
#include "formats/document_io.h"
#include "formats/iptc_keywords.h"
#include "formats/memory_budget.h"
#include "formats/xmp_keywords.h"
#include "psd_builder.h"
#include "sample_documents.h"

namespace {

using fixtures::rgbAt;
using psdbuild::File;
using psdbuild::MaskData;
using psdbuild::withLayers;
using Bytes = std::vector<std::uint8_t>;
constexpr auto npos = std::string::npos;

std::string refusal(const Bytes& bytes, const std::string& name = "test.psd") {
  return formatErrorOf([&] { formats::decodePsd(bytes, name); });
}

Bytes bigEndian16(std::initializer_list<int> values) { return fixtures::BlockBytes().u16s(values).bytes; }

Bytes floats(std::initializer_list<float> values) {
  fixtures::BlockBytes b;
  for (float f : values) b.u32(std::bit_cast<std::uint32_t>(f));
  return b.bytes;
}

psdbuild::Layer maskedLayer(const std::string& name, Bytes mask, bool realMask = false) {
  const Bytes colour{1, 2, 3, 4};
  psdbuild::Layer l{.bottom = 2, .right = 2,
                    .channels = {{0, 0, colour}, {1, 0, colour}, {2, 0, colour}, {-2, 0, {9, 9, 9, 9}}},
                    .name = name, .mask = std::move(mask)};
  if (realMask) l.channels.push_back({-3, 0, {77}});
  return l;
}

std::vector<engine::LayerNode> readLayers(const std::vector<psdbuild::Layer>& layers) {
  return formats::decodePsd(psdbuild::withLayers(layers, int(layers.size())), "masks.psd").content.layers;  // top first
}

// The density and feather of a layer's pixel mask, then of its vector mask.
std::tuple<int, double, int, double> maskParameters(const engine::LayerNode& l) {
  return {l.mask.density, l.mask.feather, l.vectorMaskDensity, l.vectorMaskFeather};
}

bool contains(const Bytes& haystack, const Bytes& needle) { return !std::ranges::search(haystack, needle).empty(); }

Bytes bytes(const std::string& s) { return {s.begin(), s.end()}; }
std::string text(const Bytes& b) { return {b.begin(), b.end()}; }

const std::vector<std::string> kTag = {"Build Menu Complete", "6", "FTTTFFF"};

TEST(PsdReaderRefusal, OtherFilesAndTruncationsAreRefusedByNameAndClaimsBeyondTheDataBeforeAnythingIsAllocated) {
  EXPECT_NE(refusal(bytes("GIF89a\x02"), "menu.psd").find("\"menu.psd\": it is not a Photoshop document"), npos);
  EXPECT_NE(refusal({}).find("test.psd"), npos);

  const Bytes whole = formats::encodePsd(samples::richDocument());
  for (std::size_t n = 0; n < whole.size(); n += (n < 400 ? 1 : 97)) {
    const std::string message = refusal({whole.begin(), whole.begin() + std::ptrdiff_t(n)}, "cut.psd");
    ASSERT_NE(message.find("cannot open \"cut.psd\": "), npos) << "cut at " << n;
  }
  const std::string missing = "/nonexistent/folder/menu.psd";
  EXPECT_NE(formatErrorOf([&] { formats::readPsd(missing); }).find("\"" + missing + "\""), npos);

  // Claims beyond the data are refused before anything is allocated, even on a machine whose
  // budget would take such a canvas: the claim must still not be believed.
  formats::setDocumentMemoryBudget(8ULL << 30);
  File canvas{.width = 20000, .height = 15000, .compression = 1, .imageData = Bytes(1000, 0)};
  EXPECT_NE(refusal(psdbuild::build(canvas)).find("does not fit"), npos);
  formats::setDocumentMemoryBudget(0);
  canvas.width = canvas.height = 30000;
  EXPECT_NE(refusal(psdbuild::build(canvas)).find("larger than Quillary can open"), npos);
  canvas.width = 40000;
  canvas.height = 10;
  EXPECT_NE(refusal(psdbuild::build(canvas)).find("cannot hold"), npos);

  psdbuild::Layer huge{.bottom = 15000, .right = 20000, .channels = {{0, 1, Bytes(15000 * 2 + 10, 0)}}};
  EXPECT_NE(refusal(withLayers({huge}, 1)).find("layer record 1 claims 20000 x 15000 pixels"), npos);
  huge.channels = {{0, 2, Bytes(50, 0)}};
  EXPECT_NE(refusal(withLayers({huge}, 1)).find("cannot hold them"), npos);
  // Bounds with no channel data are no claim at all, nor are the inverted ones Photoshop writes for
  // an empty layer: both are read as empty layers.
  huge.channels.clear();
  EXPECT_TRUE(formats::decodePsd(withLayers({huge}, 1), "hollow.psd").content.layers[0].pixels.empty());
  const psdbuild::Layer inverted{.top = 5, .left = 4, .bottom = 2, .right = 4,
                                 .channels = {{-1, 0, {}}, {0, 0, {}}, {1, 0, {}}, {2, 0, {}}}};
  const formats::PsdFile empty = formats::decodePsd(withLayers({inverted}, -1), "empty.psd");
  ASSERT_EQ(empty.content.layers.size(), 1u);
  EXPECT_TRUE(empty.content.layers[0].pixels.empty());

  EXPECT_NE(refusal(withLayers({}, 30000)).find("claims 30000 layers"), npos);
  EXPECT_NE(refusal(withLayers({{.channels = std::vector<psdbuild::Channel>(60)}}, 1)).find("60 channels"), npos);
  const psdbuild::Layer odd{.bottom = 1, .right = 1, .channels = {{0, 9, {1}}}};
  EXPECT_NE(refusal(withLayers({odd}, 1)).find("unknown compression 9"), npos);
  const psdbuild::Layer sectionEnd{.blocks = psdbuild::block("lsct", {0, 0, 0, 3})};
  EXPECT_NE(refusal(withLayers(std::vector(150, sectionEnd), 150)).find("nested more than 100 deep"), npos);
  EXPECT_NE(refusal(psdbuild::build({.mode = 5})).find("unknown colour mode (5)"), npos);
}

TEST(PsdReaderColourModes, FlatFilesOfEveryModeOpenAsAnRgbBackground) {
  struct Case {
    const char* what;
    int mode, depth, channels;
    Bytes data;
    Bytes modeData;
    engine::Rgb expected[4];
  };
  Bytes palette(768, 0);  // index 1 red, 2 green, 3 blue
  for (int i = 1; i < 4; ++i) palette[std::size_t(256 * (i - 1) + i)] = 255;
  const Case cases[] = {
      {"gray", 1, 8, 1, {0, 100, 200, 255}, {}, {{0, 0, 0}, {100, 100, 100}, {200, 200, 200}, {255, 255, 255}}},
      {"gray 16", 1, 16, 1, bigEndian16({0, 0x8080, 0xFFFF, 0x1234}), {},
       {{0, 0, 0}, {128, 128, 128}, {255, 255, 255}, {18, 18, 18}}},
      {"duotone", 8, 8, 1, {0, 100, 200, 255}, {1, 2}, {{0, 0, 0}, {100, 100, 100}, {200, 200, 200}, {255, 255, 255}}},
      {"indexed", 2, 8, 1, {0, 1, 2, 3}, palette, {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}},
      // One row byte each: black is 1, white 0.
      {"bitmap", 0, 1, 1, {0x80, 0x40}, {}, {{0, 0, 0}, {255, 255, 255}, {255, 255, 255}, {0, 0, 0}}},
      // Stored inverted: 255 is no ink.
      {"CMYK", 4, 8, 4, {255, 0, 255, 255, 255, 255, 0, 255, 255, 255, 255, 0, 255, 255, 255, 0}, {},
       {{255, 255, 255}, {0, 255, 255}, {255, 0, 255}, {0, 0, 0}}},
      {"Lab", 9, 8, 3, {255, 0, 255, 128, 128, 128, 128, 128, 128, 128, 128, 128}, {},
       {{255, 255, 255}, {0, 0, 0}, {255, 255, 255}, {119, 119, 119}}},
      // Multichannel: the first three channels as RGB, or the first as grey.
      {"multichannel of four", 7, 8, 4, {255, 0, 0, 9, 0, 255, 0, 9, 0, 0, 255, 9, 1, 2, 3, 4}, {},
       {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}}},
      {"multichannel of two", 7, 8, 2, {0, 100, 200, 255, 1, 2, 3, 4}, {},
       {{0, 0, 0}, {100, 100, 100}, {200, 200, 200}, {255, 255, 255}}},
      {"32-bit linear light", 3, 32, 3, floats({0, 0.5f, 1, 2, 0, 0.5f, 1, -1, 0, 0.5f, 1, 0}), {},  // R, G, B planes
       {{0, 0, 0}, {188, 188, 188}, {255, 255, 255}, {255, 0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const File f{.channels = c.channels, .depth = c.depth, .mode = c.mode, .modeData = c.modeData, .imageData = c.data};
    const formats::PsdFile file = formats::decodePsd(psdbuild::build(f), "mode.psd");
    EXPECT_EQ(file.colorMode, c.mode);
    EXPECT_EQ(file.depth, c.depth);
    EXPECT_EQ(file.content.mixing == engine::ColorMixing::Lab, c.mode == 9) << "only a Lab document mixes in Lab";
    ASSERT_EQ(file.content.layers.size(), 1u);
    const engine::LayerNode& bg = file.content.layers[0];
    EXPECT_TRUE(bg.isBackground);
    EXPECT_EQ(bg.name, "Background");
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(rgbAt(bg.pixels, i % 2, i / 2), c.expected[i]) << "pixel " << i;
      EXPECT_EQ(bg.pixels.alphaAt(i % 2, i / 2), 255);
    }
  }
}

// One 1 x 2 layer of 16-bit samples in an 'Lr16' block, as Photoshop stores high-depth layers, and
// a layer of a large-document file, whose lengths are wider.
TEST(PsdReaderLayers, SixteenBitLayersInTheirOwnBlockAreScaledAndLargeDocumentFilesRead) {
  const psdbuild::Layer layer{.bottom = 2, .right = 1,
                              .channels = {{-1, 0, bigEndian16({0xFFFF, 0})}, {0, 0, bigEndian16({0xFFFF, 0x8080})},
                                           {1, 0, bigEndian16({0, 0x8080})}, {2, 0, bigEndian16({0x1234, 0x8080})}}};
  // No 8-bit layer info, no global mask, then the block.
  const Bytes section =
      psdbuild::joined({Bytes(8, 0), psdbuild::block("Lr16", psdbuild::layerInfo({layer}, false, -1))});
  const File f{.channels = 4, .depth = 16, .layerSection = section, .imageData = Bytes(32, 0xFF)};
  const formats::PsdFile file = formats::decodePsd(psdbuild::build(f), "deep.psd");
  ASSERT_EQ(file.content.layers.size(), 1u);
  const engine::Raster& px = file.content.layers[0].pixels;
  EXPECT_EQ(rgbAt(px, 0, 0), (engine::Rgb{255, 0, 18}));
  EXPECT_EQ(px.alphaAt(0, 0), 255);
  EXPECT_EQ(px.alphaAt(0, 1), 0);
  EXPECT_EQ(rgbAt(px, 0, 1), (engine::Rgb{128, 128, 128}));

  const psdbuild::Layer wide{.bottom = 1, .right = 2,
                             .channels = {{-1, 0, {255, 255}}, {0, 0, {10, 20}}, {1, 0, {30, 40}}, {2, 0, {50, 60}}},
                             .name = "Wide"};
  const File large{.version = 2, .layerSection = psdbuild::layerSection(psdbuild::layerInfo({wide}, true, 1), true)};
  const formats::PsdFile psb = formats::decodePsd(psdbuild::build(large), "large.psb");
  EXPECT_EQ(psb.version, 2);
  ASSERT_EQ(psb.content.layers.size(), 1u);
  EXPECT_EQ(psb.content.layers[0].name, "Wide");
  EXPECT_EQ(rgbAt(psb.content.layers[0].pixels, 1, 0), (engine::Rgb{20, 40, 60}));
}

TEST(IptcKeywords, ReplacingKeywordsKeepsTheOtherDatasetsInOrderAndTextBeyondAsciiIsUtf8) {
  // 2:0 version, 2:05 title, 2:25 old keyword, 2:80 by-line, 3:10 something of record 3.
  const std::string record = std::string("\x1C\x02\x00\x00\x02\x00\x04", 7) + std::string("\x1C\x02\x05\x00\x05Title", 10) +
                             std::string("\x1C\x02\x19\x00\x03old", 8) + std::string("\x1C\x02\x50\x00\x03Zed", 8) +
                             std::string("\x1C\x03\x0A\x00\x01X", 6);
  const Bytes patched = formats::iptcWithKeywords(bytes(record), kTag);
  EXPECT_EQ(formats::iptcKeywords(patched), kTag);
  const std::string out = text(patched);
  EXPECT_LT(out.find("Title"), out.find("Build Menu Complete"));
  EXPECT_LT(out.find("FTTTFFF"), out.find("Zed"));
  EXPECT_NE(out.find(std::string("\x1C\x03\x0A\x00\x01X", 6)), std::string::npos);
  EXPECT_EQ(out.find("old"), std::string::npos);

  EXPECT_TRUE(formats::iptcKeywords(formats::iptcWithKeywords(bytes(record), {})).empty());
  EXPECT_NE(text(formats::iptcWithKeywords(bytes(record), {})).find("Title"), std::string::npos);

  // Text beyond ASCII is declared UTF-8, and old code pages are read.
  const std::vector<std::string> words = {"Crème", "下書き"};
  const Bytes made = formats::iptcWithKeywords({}, words);
  EXPECT_EQ(text(made).substr(0, 8), std::string("\x1C\x01\x5A\x00\x03\x1B\x25\x47", 8));
  EXPECT_EQ(formats::iptcKeywords(made), words);
  // Without the declaration, bytes that are not UTF-8 are the writer's code page.
  EXPECT_EQ(formats::iptcKeywords(bytes(std::string("\x1C\x02\x19\x00\x05" "Cr\xE8me", 10))),
            std::vector<std::string>{"Crème"});
}

TEST(XmpKeywords, SubjectIsReplacedOrAddedAndEverythingElseKeptEvenInADamagedPacket) {
  const std::string packet =
      "<?xpacket begin=\"\"?><x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF><rdf:Description rdf:about=\"\" "
      "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" "
      "xmp:CreatorTool=\"Adobe Photoshop\"><dc:subject><rdf:Bag><rdf:li>old</rdf:li></rdf:Bag></dc:subject>"
      "<dc:format>image/vnd.adobe.photoshop</dc:format></rdf:Description></rdf:RDF></x:xmpmeta>"
      "<?xpacket end=\"w\"?>";
  const std::vector<std::string> words = {"a & b <c>", "\"quoted\""};
  const Bytes patched = formats::xmpWithKeywords(bytes(packet), words);
  EXPECT_EQ(formats::xmpKeywords(patched), words);
  const std::string out = text(patched);
  for (const char* kept : {"xmp:CreatorTool=\"Adobe Photoshop\"", "<dc:format>image/vnd.adobe.photoshop</dc:format>",
                           "<?xpacket end=\"w\"?>"})
    EXPECT_NE(out.find(kept), std::string::npos) << kept;
  EXPECT_FALSE(formats::xmpKeywords(formats::xmpWithKeywords(bytes(packet), {})).has_value());

  // Added to a description that has none, or a damaged one.
  for (const std::string description : {"<rdf:Description rdf:about=\"\" a=\"x>y\"/>",
                                        "<rdf:Description rdf:about=\"\"><b>1</b></rdf:Description>"}) {
    SCOPED_TRACE(description);
    const std::string bare = "<x:xmpmeta><rdf:RDF>" + description + "</rdf:RDF></x:xmpmeta>";
    const Bytes added = formats::xmpWithKeywords(bytes(bare), kTag);
    EXPECT_EQ(formats::xmpKeywords(added), kTag);
    EXPECT_NE(text(added).find("xmlns:dc=\"http://purl.org/dc/elements/1.1/\""), std::string::npos);
    EXPECT_NE(text(added).find("</rdf:RDF></x:xmpmeta>"), std::string::npos);
  }
  EXPECT_EQ(formats::xmpKeywords(formats::xmpWithKeywords({}, {"Ünïcode ✓"})), std::vector<std::string>{"Ünïcode ✓"});
  EXPECT_EQ(formats::xmpKeywords(bytes("<dc:subject><rdf:Bag><rdf:li>&#x41;&#66;</rdf:li></rdf:Bag></dc:subject>")),
            std::vector<std::string>{"AB"});

  // A packet damaged as a fuzzer found it: a start tag cut short inside a quoted value, and
  // dc:subject's own tags broken. The keywords must read back, and saving again must not add
  // them once more.
  const std::string damaged =
      "<x:xmpmeta><rdf:RDF><rdf:Description rdf:abou\x8a\xc2\"\x03xmlns<dc:subject/purl.org/dc/elements/0.1/\">"
      "<dc:subje\x96rdf:Bag><rdf:li>k</rdf:li></rdf:Bag></dc:subjecv></rdf:Description></rdf:RDF></x:xmpmeta>";
  const std::vector<std::string> four{"Build Menu Complete", "4"};
  const Bytes once = formats::xmpWithKeywords(bytes(damaged), four);
  EXPECT_EQ(formats::xmpKeywords(once), four);
  EXPECT_EQ(formats::xmpWithKeywords(once, four), once);
}

TEST(PsdReaderResources, XmpKeywordsWinIptcFillsInAndKeptBlocksAreThoseThatStillHoldAfterSaving) {
  const std::string iptc = std::string("\x1C\x02\x19\x00\x04iptc", 9);
  const std::string xmp =
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF><rdf:Description dc:format=\"image/x\">"
      "<dc:subject><rdf:Bag><rdf:li>one &amp; two</rdf:li><rdf:li>three</rdf:li></rdf:Bag></dc:subject>"
      "</rdf:Description></rdf:RDF></x:xmpmeta>";
  const std::string bare = "<x:xmpmeta><rdf:RDF><rdf:Description/></rdf:RDF></x:xmpmeta>";
  const auto keywordsOf = [](std::initializer_list<Bytes> resources) {
    return formats::decodePsd(psdbuild::build({.resources = psdbuild::joined(resources)}), "tags.psd").content.keywords;
  };
  EXPECT_EQ(keywordsOf({psdbuild::resource(1028, iptc)}), std::vector<std::string>{"iptc"});
  EXPECT_EQ(keywordsOf({psdbuild::resource(1028, iptc), psdbuild::resource(1060, xmp)}),
            (std::vector<std::string>{"one & two", "three"}));
  EXPECT_EQ(keywordsOf({psdbuild::resource(1060, bare), psdbuild::resource(1028, iptc)}),
            std::vector<std::string>{"iptc"});

  // Blocks the writer makes from the document (thumbnail, target layer, alpha channel names) are
  // not kept; a colour profile goes with a converted colour mode; the rest is kept as it was. The
  // version block says the file's merged image is a stand-in; the written one will be real.
  Bytes resources;
  for (const auto& [id, data] : std::vector<std::pair<int, std::string>>{
           {1036, "thumb"}, {1024, "\x00\x00"}, {1006, "\x05Alpha"}, {1039, "profile"},
           {1057, std::string("\x00\x00\x00\x01\x00", 5)}, {1032, "guides"}})
    for (std::uint8_t b : psdbuild::resource(std::uint16_t(id), data)) resources.push_back(b);
  const auto keptIds = [&](int mode, int channels) {
    const File f{.channels = channels, .mode = mode, .resources = resources, .imageData = Bytes(4 * channels)};
    const formats::PsdFile file = formats::decodePsd(psdbuild::build(f), "res.psd");
    EXPECT_FALSE(file.storedCompositeIsReal);
    std::vector<int> ids;
    for (const auto& r : file.content.resources) {
      ids.push_back(r.id);
      if (r.id == 1057) {
        EXPECT_EQ((*r.data)[4], 1) << "the merged image is real";
      }
    }
    return ids;
  };
  EXPECT_EQ(keptIds(3, 3), (std::vector<int>{1039, 1057, 1032}));
  EXPECT_EQ(keptIds(1, 1), (std::vector<int>{1057, 1032}));
}

// The merged image's first extra channel is its transparency when the layer count is negative.
// A positive count leaves it to the channel's name: a saved selection is not transparency.
TEST(PsdReaderComposite, ASavedAlphaChannelIsNotTheMergedImagesTransparency) {
  const psdbuild::Layer layer{.bottom = 2, .right = 2,
                              .channels = {{-1, 0, {255, 255, 0, 0}}, {0, 0, Bytes(4, 9)},
                                           {1, 0, Bytes(4, 9)}, {2, 0, Bytes(4, 9)}}};
  const auto merged = [&](int count, const std::string& firstChannelName) {
    File f{.channels = 4, .layerSection = psdbuild::layerSection(psdbuild::layerInfo({layer}, false, count), false),
           .imageData = Bytes(12, 200)};
    if (!firstChannelName.empty())
      f.resources = psdbuild::resource(1006, char(firstChannelName.size()) + firstChannelName);
    f.imageData.insert(f.imageData.end(), {255, 255, 0, 0});
    return formats::decodePsd(psdbuild::build(f), "rgba.psd").storedComposite;
  };
  const engine::Raster saved = merged(1, "Alpha 1");
  EXPECT_EQ(saved.alphaAt(0, 1), 255);
  EXPECT_EQ(rgbAt(saved, 0, 1), (engine::Rgb{200, 200, 200}));
  EXPECT_EQ(merged(-1, "Alpha 1").alphaAt(0, 1), 0) << "the count says it is transparency";
  EXPECT_EQ(merged(1, "Transparency").alphaAt(0, 1), 0) << "as Photoshop names it in deep files";
  EXPECT_EQ(merged(1, "").alphaAt(0, 1), 0) << "unnamed, in a document without a background";
}

// Only a document without a background has a merged image with transparency (a fourth channel).
// Opening a document needs the merged image only when the file has no layers.
TEST(PsdReaderComposite, TheMergedImageOfATransparentDocumentIsItsCompositeAndSkippingItKeepsEveryLayer) {
  engine::DocumentContent doc = samples::largeDocument(4, 120, 80);
  EXPECT_EQ(formats::encodePsd(doc)[13], 3) << "header channels";
  doc.layers.pop_back();
  doc.layers[0].children[0].visible = false;
  const Bytes layered = formats::encodePsd(doc);
  EXPECT_EQ(layered[13], 4);
  const formats::PsdFile full = formats::decodePsd(layered, "clear.psd");
  EXPECT_TRUE(full.storedCompositeIsReal);
  EXPECT_FALSE(full.content.layers.back().isBackground);
  const engine::Raster expected = engine::compositeDocument(doc);
  const engine::Raster& stored = full.storedComposite;
  ASSERT_EQ(stored.bounds(), expected.bounds());
  int worst = 0;
  for (std::size_t i = 0; i < expected.byteSize(); i += 4) {
    EXPECT_EQ(stored.data()[i + 3], expected.data()[i + 3]);
    if (expected.data()[i + 3] < 64) continue;  // the matte leaves little colour under low alpha
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(stored.data()[i + c] - expected.data()[i + c]));
  }
  EXPECT_LE(worst, 2) << "colour recovered from the white matte";

  const formats::PsdFile skipped = formats::decodePsd(layered, "clear.psd", formats::MergedImage::SkipWhenLayered);
  EXPECT_TRUE(skipped.storedComposite.empty());
  EXPECT_EQ(compare::documentsDiffer(skipped.content, full.content), "");
  // Nothing of the merged image is read: damage there does not keep the layers from opening.
  const Bytes cut(layered.begin(), layered.end() - 100);
  EXPECT_NE(refusal(cut), "");
  EXPECT_EQ(formats::decodePsd(cut, "cut.psd", formats::MergedImage::SkipWhenLayered).content.layers.size(),
            full.content.layers.size());

  const File flat{.imageData = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}};
  const formats::PsdFile background =
      formats::decodePsd(psdbuild::build(flat), "flat.psd", formats::MergedImage::SkipWhenLayered);
  ASSERT_EQ(background.content.layers.size(), 1u);
  EXPECT_EQ(rgbAt(background.content.layers.front().pixels, 1, 0), (engine::Rgb{20, 60, 100}));
}

TEST(PsdMaskParameters, ReadAndWrittenInPhotoshopsLayoutsAndShortOrUnlikelyValuesLeaveAPlainMask) {
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
  EXPECT_EQ(maskParameters(layers[2]), std::tuple(255, 0.0, 64, 0.0));
  EXPECT_EQ(layers[1].mask.pixels.at(0, 0), 9);
  EXPECT_EQ(maskParameters(layers[1]), std::tuple(230, 6.0, 255, 0.0));
  const engine::LayerMask& real = layers[0].mask;
  EXPECT_EQ(real.pixels.bounds(), (engine::Rect{0, 0, 1, 1}));
  EXPECT_EQ(real.pixels.at(0, 0), 77);
  EXPECT_EQ(real.pixels.outside(), 255);
  EXPECT_TRUE(real.disabled);
  EXPECT_EQ(maskParameters(layers[0]), std::tuple(191, 3.0, 255, 2.0));

  // Short or unlikely values leave a plain mask. A feather announced but cut short after its
  // density; the file still opens.
  const auto shortFeather = maskedLayer("short", MaskData().mask(r, 0, 0x10).u8(0x03).u8(200).bytes(20));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const auto notANumber = maskedLayer("nan", MaskData().mask(r, 0, 0x10).u8(0x0A).f64(nan).f64(-3.0).bytes());
  const auto huge = maskedLayer("huge", MaskData().mask(r, 0, 0x10).u8(0x02).f64(1e300).bytes());
  const std::vector<engine::LayerNode> odd = readLayers({shortFeather, notANumber, huge});
  ASSERT_EQ(odd.size(), 3u);
  EXPECT_EQ(maskParameters(odd[2]), std::tuple(200, 0.0, 255, 0.0));
  EXPECT_EQ(maskParameters(odd[1]), std::tuple(255, 0.0, 255, 0.0));
  EXPECT_EQ(maskParameters(odd[0]), std::tuple(255, engine::kMaxMaskFeather, 255, 0.0));

  // Written as Photoshop lays them out.
  engine::DocumentContent doc;
  doc.width = doc.height = 4;
  doc.layers = {fixtures::solidLayer("user", {0, 0, 4, 4}, {1, 2, 3}),
                fixtures::solidLayer("vector", {0, 0, 4, 4}, {1, 2, 3})};
  doc.layers[0].mask = {.pixels = engine::Mask({1, 1, 3, 3}, 0), .density = 230, .feather = 6.0};
  doc.layers[1].vectorMaskDensity = 64;
  const Bytes bytes = formats::encodePsd(doc);

  EXPECT_TRUE(contains(bytes, MaskData().u32(28).mask({1, 1, 3, 3}, 0, 0x10).u8(0x03).u8(230).f64(6.0).bytes()));
  // Only the vector mask's density: an empty mask that says its channel holds nothing.
  EXPECT_TRUE(contains(bytes, MaskData().u32(20).mask({}, 255, 0x18).u8(0x04).u8(64).bytes(4 + 20 + 2)));

  const engine::DocumentContent back = formats::decodePsd(bytes, "written.psd").content;
  EXPECT_EQ(maskParameters(back.layers[0]), std::tuple(230, 6.0, 255, 0.0));
  EXPECT_TRUE(back.layers[1].mask.empty());
  EXPECT_EQ(maskParameters(back.layers[1]), std::tuple(255, 0.0, 64, 0.0));
}

}  // namespace
