// The action-descriptor operations, what each one sends and what the engine makes of it; colour
// values, the foreground and background colour procedures, and colour table selections.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>

#include "photoshop/action_operations.h"
#include "photoshop/color_operations.h"
#include "photoshop/scripted_host.h"
#include "engine/composite.h"
#include "engine/layer_effects.h"
#include "engine/operations.h"
#include "photoshop_fixtures.h"

using namespace photoshop;
using engine::ErrorCode;

namespace {

class OperationsTest : public ::testing::Test {
 protected:
  const std::string& lastAction() {
    EXPECT_FALSE(app.recordedActions().empty());
    return app.recordedActions().back();
  }
  Document transparent(int width, int height, const char* name) {
    return app.Documents().Add(width, height, 72, name, ps::NewRGB, ps::FillTransparent);
  }
  // A layer filled with one colour over `r`, added above the active layer.
  Layer paintedLayer(Document& doc, const std::string& name, const Region& r, SolidColor c) {
    app.SetActiveDocument(doc);
    Layer layer = fixtures::named(doc.ArtLayers().Add(), name);
    doc.Selection().Select(r);
    doc.Selection().Fill(c);
    doc.Selection().Deselect();
    return layer;
  }
  // A node the object model cannot make itself (fill layers, styled layers), put in through the engine.
  Layer engineLayer(Document& doc, engine::LayerNode node) {
    auto d = doc.engineDocument();
    return app.layerFor(d, d->edit("test", [&](engine::DocumentContent& c) { return insertAboveActive(c, node); }));
  }
  const engine::LayerNode& node(const Document& doc, const Layer& layer) {
    return doc.engineDocument()->content().layer(layer.Id());
  }
  std::size_t states(const Document& doc) { return doc.engineDocument()->history().size(); }

  Application app = fixtures::pixelApplication();
  std::vector<std::string> shown;
  const std::function<void(const std::string&)> show = [this](const std::string& m) { shown.push_back(m); };
};

constexpr const char* kTargetLayer = "  'null': reference ['Lyr ': enumerated 'Ordn' 'Trgt']\n";

}  // namespace

TEST_F(OperationsTest, ScaleImageSizeDistortsAWrongAspectAndDuplicateDocCopiesTheActiveDocument) {
  Document doc = transparent(720, 540, "Final Menu");
  Layer square = paintedLayer(doc, "square", RectangleRegion(100, 100, 200, 200), SolidColor(255, 0, 0));
  ScaleImageSize(app, 720, 480);
  EXPECT_EQ(lastAction(), "event 'ImgS' dialog 3\n  'Wdth': unit double '#Pxl' 720\n  'Hght': unit double '#Pxl' 480\n"
                          "  'Intr': enumerated 'Intp' 'Bcbc'\n");
  EXPECT_EQ(doc.Width(), 720);
  EXPECT_EQ(doc.Height(), 480);
  const auto b = square.Bounds();
  EXPECT_NEAR(b[2] - b[0], 100, 2);
  EXPECT_NEAR(b[3] - b[1], 89, 2) << "no proportion constraint: the square is squashed";

  // DuplicateDoc copies the active document under the new name and activates the copy.
  Document source = transparent(300, 200, "menu.psd");
  paintedLayer(source, "Title Area", RectangleRegion(10, 10, 60, 30), SolidColor(127, 127, 127));
  Document other = app.Documents().Add(50, 50, 72, "other");
  app.SetActiveDocument(source);
  DuplicateDoc(app, "Build Menu");
  EXPECT_EQ(lastAction(), "event 'Dplc' dialog 3\n  'null': reference ['Dcmn': enumerated 'Ordn' 'Frst']\n"
                          "  'Nm  ': string \"Build Menu\"\n");
  Document copy = app.ActiveDocument();
  EXPECT_EQ(copy.Name(), "Build Menu");
  EXPECT_EQ(app.Documents().Count(), 4) << "the source stays open";
  EXPECT_EQ(fixtures::pixel(copy, copy.ArtLayers()("Title Area"), 20, 20), (engine::Rgb{127, 127, 127}));
  copy.ArtLayers()("Title Area").Remove();
  EXPECT_EQ(source.ArtLayers().Count(), 2) << "the copy is independent of its source";

  // Whatever is active is what gets copied.
  app.SetActiveDocument(other);
  DuplicateDoc(app, "Final MenuCopy");
  EXPECT_EQ(app.ActiveDocument().Width(), 50);
}

TEST_F(OperationsTest, DuplicateLayerCopiesTheActiveSetAboveTheNamedDocumentsActiveLayerOrSaysItIsClosed) {
  Document menu = transparent(720, 540, "Build Menu");
  Layer background = menu.ArtLayers()(1);
  Layer top = paintedLayer(menu, "Title Area", RectangleRegion(0, 0, 10, 10), SolidColor(1, 2, 3));
  menu.SetActiveLayer(background);
  Document tmpl = transparent(720, 540, "Button Template");
  Layer set = fixtures::named(tmpl.LayerSets().Add(), "Btn Tmpl");
  Layer area = fixtures::named(set.ArtLayers().Add(), "Button Area");
  tmpl.Selection().Select(RectangleRegion(100, 120, 200, 160));
  tmpl.Selection().Fill(SolidColor(239, 253, 0));
  area.Link(fixtures::named(set.ArtLayers().Add(), "Hilite Mask"));
  tmpl.SetActiveLayer(set);

  DuplicateLayer(app, "Build Menu", show);
  EXPECT_EQ(lastAction(), std::string("event 'Dplc' dialog 3\n") + kTargetLayer +
                              "  'T   ': reference ['Dcmn': name \"Build Menu\"]\n");
  EXPECT_EQ(app.ActiveDocument(), tmpl) << "the destination is not activated";
  Layer copy = menu.ActiveLayer();
  EXPECT_EQ(copy.Name(), "Btn Tmpl");
  EXPECT_EQ(menu.Layers()(1), top);
  EXPECT_EQ(menu.Layers()(2), copy) << "just above the destination's active layer";
  EXPECT_EQ(copy.Layers()("Button Area").Bounds(), (std::array<double, 4>{100, 120, 200, 160}));
  app.SetActiveDocument(menu);
  copy.Layers()("Button Area").Translate(0, 40);
  EXPECT_EQ(copy.Layers()("Hilite Mask").LinkedLayers().size(), 1u) << "links inside the copy are kept";
  EXPECT_EQ(area.Bounds()[1], 120) << "the source does not move with the copy";

  // Into its own document the copy is named "<name> Copy".
  menu.SetActiveLayer(copy);
  DuplicateLayer(app, "Build Menu", show);
  EXPECT_EQ(menu.ActiveLayer().Name(), "Btn Tmpl Copy");
  EXPECT_TRUE(shown.empty());

  // A closed destination is reported once, and other failures but busy are silent.
  const std::size_t before = states(menu);
  EXPECT_NO_THROW(DuplicateLayer(app, "Final Menu", show));
  app.faults().failMember("ExecuteAction", ErrorCode::NotAvailable);
  EXPECT_NO_THROW(DuplicateLayer(app, "Build Menu", show));
  app.faults().failMember("CharIDToTypeID", ErrorCode::InvalidArgument, 1, 2);
  EXPECT_NO_THROW(DuplicateLayer(app, "Build Menu", show));
  EXPECT_EQ(shown, std::vector<std::string>{"Final Menu Document Closed"});
  EXPECT_EQ(states(menu), before);
}

TEST_F(OperationsTest, SetLayerColorLabelSendsTheCodeAsAnEnumerationAndLabelsTheTargetLayer) {
  Document doc = app.Documents().Add(100, 100, 72, "Build Menu");
  SetLayerColorLabel(app, "Bl  ");
  EXPECT_EQ(lastAction(), std::string("event 'setd' dialog 3\n") + kTargetLayer +
                              "  'T   ': object 'Lyr ' {\n    'Clr ': enumerated 'Clr ' 'Bl  '\n  }\n");
  Layer layer = doc.ActiveLayer();
  EXPECT_EQ(layer.Name(), "Layer 0") << "labelling the background unlocks it";
  EXPECT_FALSE(layer.IsBackgroundLayer());
  EXPECT_EQ(node(doc, layer).colorLabel, engine::ColorLabel::Blue);

  for (const char* code : {"Rd  ", "Ylw ", "Grn ", "Vlt "}) SetLayerColorLabel(app, code);
  EXPECT_EQ(node(doc, layer).colorLabel, engine::ColorLabel::Violet);
  const std::size_t sent = app.recordedActions().size();
  EXPECT_THROW(SetLayerColorLabel(app, "Red"), AutomationError) << "not a four-character code";
  EXPECT_EQ(app.recordedActions().size(), sent);
}

TEST_F(OperationsTest, SetLayerContentColorSplitsTheColourValueAndRecoloursOnlyFillLayers) {
  Document doc = transparent(100, 100, "Build Menu");
  engine::LayerNode fill = fixtures::solidLayer("Button Area", {0, 0, 100, 100}, {0, 0, 0});
  fill.kind = engine::LayerKind::SolidFill;
  Layer area = engineLayer(doc, fill);

  SetLayerContentColor(app, std::int32_t(0xFF000000u | 16777215));
  EXPECT_EQ(lastAction(), "event 'setd' dialog 3\n  'null': reference [\"contentLayer\": enumerated 'Ordn' 'Trgt']\n"
                          "  'T   ': object \"solidColorLayer\" {\n    'Clr ': object 'RGBC' {\n"
                          "      'Rd  ': double 255\n      'Grn ': double 255\n      'Bl  ': double 255\n    }\n  }\n");
  SetLayerContentColor(app, RGBValue(239, 253, 0));
  EXPECT_EQ(node(doc, area).fillColor, (engine::Rgb{239, 253, 0}));
  EXPECT_EQ(fixtures::pixel(doc, area, 50, 50), (engine::Rgb{239, 253, 0}));

  doc.SetActiveLayer(doc.ArtLayers()("Layer 1"));
  EXPECT_NE(fixtures::errorOf([&] { SetLayerContentColor(app, 255); }).Description().find(
                "\"Layer 1\" is not a solid colour fill layer"),
            std::string::npos);
}

// Without a host the save is refused with the engine's own error, never taken for the user's cancel.
TEST_F(OperationsTest, SaveAsPSDAsksTheHostForTheFileWritesItAndTheDocumentTakesItsName) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("quillary-save-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  Document doc = transparent(60, 40, "Final MenuCopy");
  paintedLayer(doc, "Button Area", RectangleRegion(5, 5, 20, 20), SolidColor(239, 253, 0));
  const auto save = [&] { return fixtures::errorOf([&] { SaveAsPSD(app, "Final MenuCopy"); }); };
  EXPECT_TRUE(save().Is(ErrorCode::NoHostToAsk));
  EXPECT_EQ(lastAction(),
            "event 'save' dialog 1\n  'As  ': object 'Pht3' {\n    \"maximizeCompatibility\": boolean true\n  }\n"
            "  'In  ': path \"Final MenuCopy\"\n");
  ScriptedHost host;
  engine::HostInstallation installed(app.engine(), host);
  EXPECT_TRUE(save().Is(ErrorCode::Cancelled));
  EXPECT_EQ(host.questions, std::vector<std::string>{"save as: Final MenuCopy.psd"});
  EXPECT_EQ(doc.Name(), "Final MenuCopy");

  host.savePaths = {(folder / "menu").string()};  // typed without an extension
  SaveAsPSD(app, "Final MenuCopy");
  EXPECT_TRUE(std::filesystem::exists(folder / "menu.psd"));
  EXPECT_EQ(doc.Name(), "menu.psd");
  EXPECT_TRUE(doc.Saved());
  doc.Close(ps::DoNotSaveChanges);
  Document reopened = app.Open((folder / "menu.psd").string());
  EXPECT_EQ(reopened.ArtLayers()("Button Area").Bounds(), (std::array<double, 4>{5, 5, 20, 20}));

  // Without dialogs the path is used as given.
  ActionDescriptor d, format;
  format.PutBoolean(app.StringIDToTypeID("maximizeCompatibility"), true);
  d.PutObject(app.CharIDToTypeID("As  "), app.CharIDToTypeID("Pht3"), format);
  d.PutPath(app.CharIDToTypeID("In  "), (folder / "direct").string());
  app.ExecuteAction(app.CharIDToTypeID("save"), d, 3);
  EXPECT_TRUE(std::filesystem::exists(folder / "direct.psd"));
  std::filesystem::remove_all(folder);
}

// A button image drawn with a layer style: its silhouette (copied, style switched off,
// rasterised, refilled white keeping transparency) is the bare shape, while the button image
// itself composites with its shadow and stroke. A layer without a style is left alone.
TEST_F(OperationsTest, DeleteLayerStyleLeavesTheBareShapeAsTheSilhouetteOfAStyledButtonImage) {
  Document doc = transparent(200, 120, "Build Menu");
  engine::LayerNode button = fixtures::solidLayer("Button Image", {50, 40, 150, 80}, {30, 60, 200});
  auto fx = std::make_shared<engine::LayerEffects>();
  fx->dropShadows.emplace_back().distance = 8;
  fx->dropShadows.back().size = 3;
  fx->strokes.emplace_back().size = 2;
  fx->strokes.back().fill.color = {255, 200, 0};
  button.hasStyle = true;
  button.effects = fx;
  Layer image = engineLayer(doc, button);

  Layer silhouette = fixtures::named(image.Duplicate(), "Button Mask 1");
  doc.SetActiveLayer(silhouette);
  DeleteLayerStyle(app);
  EXPECT_EQ(lastAction(), std::string("event \"disableLayerStyle\" dialog 3\n") + kTargetLayer);
  EXPECT_FALSE(node(doc, silhouette).styleEnabled);
  silhouette.Rasterize(ps::RasterizeShape);
  doc.Selection().SelectAll();
  doc.Selection().Fill(SolidColor(255, 255, 255), ps::NormalBlend, 100, true);

  const engine::Rect canvas = doc.engineDocument()->content().canvas();
  const engine::Raster bare = engine::compositeLayers({node(doc, silhouette)}, canvas, canvas);
  const engine::Raster styledImage = engine::compositeLayers({node(doc, image)}, canvas, canvas);
  EXPECT_EQ(bare.alphaAt(100, 60), 255);
  EXPECT_EQ(bare.pixel(100, 60)[0], 255);
  for (const auto& [x, y] : {std::pair{155, 86}, std::pair{49, 60}}) {
    EXPECT_EQ(bare.alphaAt(x, y), 0) << x << "," << y;
    EXPECT_GT(styledImage.alphaAt(x, y), 0) << x << "," << y;
  }
  EXPECT_TRUE(node(doc, image).styleEnabled);

  doc.SetActiveLayer(doc.ArtLayers()("Layer 1"));
  const std::size_t before = states(doc);
  EXPECT_NO_THROW(DeleteLayerStyle(app));
  EXPECT_EQ(states(doc), before);
}

TEST_F(OperationsTest, BusyFailuresReachTheCallerOfEveryOperation) {
  Document doc = transparent(100, 100, "Build Menu");
  const std::vector<std::pair<const char*, std::function<void()>>> operations{
      {"ScaleImageSize", [&] { ScaleImageSize(app, 50, 50); }},
      {"DuplicateDoc", [&] { DuplicateDoc(app, "copy"); }},
      {"SetLayerColorLabel", [&] { SetLayerColorLabel(app, "Rd  "); }},
      {"SetLayerContentColor", [&] { SetLayerContentColor(app, 0); }},
      {"SaveAsPSD", [&] { SaveAsPSD(app, "x"); }},
      {"DeleteLayerStyle", [&] { DeleteLayerStyle(app); }},
      {"DuplicateLayer", [&] { DuplicateLayer(app, "Build Menu", {}); }},
  };
  for (const char* member : {"ExecuteAction", "CharIDToTypeID"}) {
    for (const auto& [name, run] : operations) {
      app.faults().failMember(member, ErrorCode::Busy);
      EXPECT_TRUE(fixtures::errorOf(run).Is(ErrorCode::Busy)) << name << " and a busy " << member;
      app.faults().clear();
    }
  }
  EXPECT_EQ(app.Documents().Count(), 1);
  EXPECT_EQ(doc.Width(), 100);
}

// Colour values split into bytes ignoring the top byte; the application's colours are copies of the
// colour given.
TEST_F(OperationsTest, SetPSColorsSetTheApplicationColourAndLeaveItInWorkSolidColor) {
  EXPECT_EQ(RGBValue(239, 253, 0), 239 + 256 * 253);
  EXPECT_EQ(RGBValue(300, -4, 255), RGBValue(255, 0, 255));
  for (const auto& rgb :
       {std::tuple(128, 128, 128), std::tuple(1, 2, 3), std::tuple(255, 255, 255), std::tuple(0, 0, 0)})
    for (const std::uint32_t top : {0u, 0xAB000000u}) {
      const ColorComponents c = SplitColorValue(std::int32_t(top | std::uint32_t(std::apply(RGBValue, rgb))));
      EXPECT_EQ(std::tie(c.Red, c.Green, c.Blue), rgb) << top;
    }

  SolidColor c = SolidColor(239, 253, 0);
  app.SetForegroundColor(c);
  c.RGB().SetRed(0);
  EXPECT_EQ(app.ForegroundColor().RGB().Red(), 239);
  EXPECT_THROW(c.RGB().SetGreen(256), AutomationError);
  EXPECT_THROW(c.RGB().SetBlue(-1), AutomationError);

  Document doc = app.Documents().Add(10, 10);
  SolidColor work;
  SetPSForegroundColor(app, work, std::int32_t(0x7F000000u | std::uint32_t(RGBValue(10, 20, 30))));
  EXPECT_EQ(app.ForegroundColor().RGB().Blue(), 30);
  EXPECT_EQ(work.RGB().Green(), 20);
  SetPSBackgroundColor(app, work, 16777215);
  EXPECT_EQ(app.BackgroundColor().RGB().Red(), 255);
  EXPECT_EQ(app.ForegroundColor().RGB().Red(), 10) << "only the background changed";

  // A fill with WorkSolidColor now paints the colour set last, whichever colour that was.
  SetPSBackgroundColor(app, work, RGBValue(0, 0, 200));
  doc.Selection().Fill(work);
  EXPECT_EQ(fixtures::pixel(doc, doc.ArtLayers()(1), 5, 5), (engine::Rgb{0, 0, 200}));

  app.faults().failMember("ForegroundColor=", engine::ErrorCode::Busy);
  EXPECT_THROW(SetPSForegroundColor(app, work, 0), AutomationError);
}

// Replacing and adding cells are checked through the colour table control's presses.
TEST_F(OperationsTest, SelectColorTableCellsSelectsNothingForADegenerateRegionAndOverflowsBeforeAnyCall) {
  Document doc = app.Documents().Add(200, 200);
  SelectColorTableCells(app, 0, 0, 1, 7, ps::ReplaceSelection);
  SelectColorTableCells(app, 2, 2, 2, 5, ps::ReplaceSelection);
  EXPECT_FALSE(doc.Selection().Solid());

  app.calls().setEnabled(true);
  for (const auto& cells : {std::array<std::int16_t, 4>{1635, 0, 1, 1}, std::array<std::int16_t, 4>{0, 1639, 1, 1},
                            std::array<std::int16_t, 4>{0, 0, -1700, 1}}) {
    const AutomationError e = fixtures::errorOf(
        [&] { SelectColorTableCells(app, cells[0], cells[1], cells[2], cells[3], ps::ReplaceSelection); });
    EXPECT_EQ(e.Number(), kOverflowErrorNumber);
    EXPECT_EQ(e.Description(), "Overflow");
  }
  EXPECT_TRUE(app.calls().calls().empty());
  SelectColorTableCells(app, 1634, 1637, 0, 0, ps::ReplaceSelection);  // 32750, 32760: still in range
}
