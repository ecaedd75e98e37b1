// The action-descriptor operations: what each one sends, and what the engine makes of it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
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
using fixtures::pixelApplication;

namespace {

const std::string& lastAction(const Application& app) {
  EXPECT_FALSE(app.recordedActions().empty());
  return app.recordedActions().back();
}

// A layer filled with one colour over `r`, added above the active layer.
Layer paintedLayer(Application& app, Document& doc, const std::string& name, const Region& r, SolidColor c) {
  app.SetActiveDocument(doc);
  Layer layer = doc.ArtLayers().Add();
  layer.SetName(name);
  doc.Selection().Select(r);
  doc.Selection().Fill(c);
  doc.Selection().Deselect();
  return layer;
}

// A node the object model cannot make itself (fill layers, styled layers), put in through the engine.
Layer engineLayer(Application& app, Document& doc, engine::LayerNode node) {
  auto d = doc.engineDocument();
  const engine::LayerId id = d->edit("test", [&](engine::DocumentContent& c) { return engine::insertAboveActive(c, node); });
  return app.layerFor(d, id);
}

}  // namespace

TEST(ScaleImageSize, SendsExactPixelSizesBicubicAndDistortsAWrongAspect) {
  Application app = pixelApplication();
  Document doc = app.Documents().Add(720, 540, 72, "Final Menu", ps::NewRGB, ps::FillTransparent);
  Layer square = paintedLayer(app, doc, "square", RectangleRegion(100, 100, 200, 200), SolidColor(255, 0, 0));
  ScaleImageSize(app, 720, 480);
  EXPECT_EQ(lastAction(app),
            "event 'ImgS' dialog 3\n"
            "  'Wdth': unit double '#Pxl' 720\n"
            "  'Hght': unit double '#Pxl' 480\n"
            "  'Intr': enumerated 'Intp' 'Bcbc'\n");
  EXPECT_EQ(doc.Width(), 720);
  EXPECT_EQ(doc.Height(), 480);
  const auto b = square.Bounds();
  EXPECT_NEAR(b[2] - b[0], 100, 2);
  EXPECT_NEAR(b[3] - b[1], 89, 2) << "no proportion constraint: the square is squashed";
}

TEST(DuplicateDoc, CopiesTheActiveDocumentUnderTheNewNameAndActivatesTheCopy) {
  Application app = pixelApplication();
  Document source = app.Documents().Add(300, 200, 72, "menu.psd", ps::NewRGB, ps::FillTransparent);
  paintedLayer(app, source, "Title Area", RectangleRegion(10, 10, 60, 30), SolidColor(127, 127, 127));
  Document other = app.Documents().Add(50, 50, 72, "other");
  app.SetActiveDocument(source);
  DuplicateDoc(app, "Build Menu");
  EXPECT_EQ(lastAction(app),
            "event 'Dplc' dialog 3\n"
            "  'null': reference ['Dcmn': enumerated 'Ordn' 'Frst']\n"
            "  'Nm  ': string \"Build Menu\"\n");
  Document copy = app.ActiveDocument();
  EXPECT_EQ(copy.Name(), "Build Menu");
  EXPECT_EQ(app.Documents().Count(), 3) << "the source stays open";
  EXPECT_EQ(fixtures::pixel(copy, copy.ArtLayers()("Title Area"), 20, 20), (engine::Rgb{127, 127, 127}));
  copy.ArtLayers()("Title Area").Remove();
  EXPECT_EQ(source.ArtLayers().Count(), 2) << "the copy is independent of its source";

  // Whatever is active is what gets copied.
  app.SetActiveDocument(other);
  DuplicateDoc(app, "Final MenuCopy");
  EXPECT_EQ(app.ActiveDocument().Width(), 50);
}

TEST(DuplicateLayer, CopiesTheActiveSetIntoTheNamedDocumentAboveItsActiveLayer) {
  Application app = pixelApplication();
  Document menu = app.Documents().Add(720, 540, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
  Layer background = menu.ArtLayers()(1);
  Layer top = paintedLayer(app, menu, "Title Area", RectangleRegion(0, 0, 10, 10), SolidColor(1, 2, 3));
  Document tmpl = app.Documents().Add(720, 540, 72, "Button Template", ps::NewRGB, ps::FillTransparent);
  Layer set = tmpl.LayerSets().Add();
  set.SetName("Btn Tmpl");
  app.SetActiveDocument(tmpl);
  Layer area = set.ArtLayers().Add();
  area.SetName("Button Area");
  tmpl.Selection().Select(RectangleRegion(100, 120, 200, 160));
  tmpl.Selection().Fill(SolidColor(239, 253, 0));
  Layer hilite = set.ArtLayers().Add();
  hilite.SetName("Hilite Mask");
  area.Link(hilite);
  tmpl.SetActiveLayer(set);
  app.SetActiveDocument(menu);
  menu.SetActiveLayer(background);
  app.SetActiveDocument(tmpl);

  std::vector<std::string> shown;
  DuplicateLayer(app, "Build Menu", [&](const std::string& m) { shown.push_back(m); });
  EXPECT_EQ(lastAction(app),
            "event 'Dplc' dialog 3\n"
            "  'null': reference ['Lyr ': enumerated 'Ordn' 'Trgt']\n"
            "  'T   ': reference ['Dcmn': name \"Build Menu\"]\n");
  EXPECT_TRUE(shown.empty());
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
  DuplicateLayer(app, "Build Menu", [&](const std::string& m) { shown.push_back(m); });
  EXPECT_EQ(menu.ActiveLayer().Name(), "Btn Tmpl Copy");
  EXPECT_TRUE(shown.empty());
}

TEST(DuplicateLayer, AClosedDestinationIsReportedOnceAndOtherFailuresButBusyAreSilent) {
  Application app = pixelApplication();
  Document menu = app.Documents().Add(100, 100, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
  const std::size_t states = menu.engineDocument()->history().size();
  std::vector<std::string> shown;
  const auto show = [&](const std::string& m) { shown.push_back(m); };
  EXPECT_NO_THROW(DuplicateLayer(app, "Final Menu", show));
  EXPECT_EQ(shown, std::vector<std::string>{"Final Menu Document Closed"});

  shown.clear();
  app.faults().failMember("ExecuteAction", ErrorCode::NotAvailable);
  EXPECT_NO_THROW(DuplicateLayer(app, "Build Menu", show));
  app.faults().failMember("CharIDToTypeID", ErrorCode::InvalidArgument, 1, 2);
  EXPECT_NO_THROW(DuplicateLayer(app, "Build Menu", show));
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(menu.engineDocument()->history().size(), states);
}

TEST(SetLayerColorLabel, SendsTheCodeAsAnEnumerationAndLabelsTheTargetLayer) {
  Application app = pixelApplication();
  Document doc = app.Documents().Add(100, 100, 72, "Build Menu");
  SetLayerColorLabel(app, "Bl  ");
  EXPECT_EQ(lastAction(app),
            "event 'setd' dialog 3\n"
            "  'null': reference ['Lyr ': enumerated 'Ordn' 'Trgt']\n"
            "  'T   ': object 'Lyr ' {\n"
            "    'Clr ': enumerated 'Clr ' 'Bl  '\n"
            "  }\n");
  Layer layer = doc.ActiveLayer();
  EXPECT_EQ(layer.Name(), "Layer 0") << "labelling the background unlocks it";
  EXPECT_FALSE(layer.IsBackgroundLayer());
  EXPECT_EQ(doc.engineDocument()->content().layer(layer.Id()).colorLabel, engine::ColorLabel::Blue);

  for (const char* code : {"Rd  ", "Ylw ", "Grn ", "Vlt "}) SetLayerColorLabel(app, code);
  EXPECT_EQ(doc.engineDocument()->content().layer(layer.Id()).colorLabel, engine::ColorLabel::Violet);
  const std::size_t sent = app.recordedActions().size();
  EXPECT_THROW(SetLayerColorLabel(app, "Red"), AutomationError) << "not a four-character code";
  EXPECT_EQ(app.recordedActions().size(), sent);
}

TEST(SetLayerContentColor, SplitsTheColourValueAndRecoloursOnlyFillLayers) {
  Application app = pixelApplication();
  Document doc = app.Documents().Add(100, 100, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
  engine::LayerNode fill = engine::LayerNode::artLayer("Button Area");
  fill.kind = engine::LayerKind::SolidFill;
  fill.pixels = engine::Raster::filled({0, 0, 100, 100}, {0, 0, 0});
  Layer area = engineLayer(app, doc, fill);

  SetLayerContentColor(app, std::int32_t(0xFF000000u | 16777215));
  EXPECT_EQ(lastAction(app),
            "event 'setd' dialog 3\n"
            "  'null': reference [\"contentLayer\": enumerated 'Ordn' 'Trgt']\n"
            "  'T   ': object \"solidColorLayer\" {\n"
            "    'Clr ': object 'RGBC' {\n"
            "      'Rd  ': double 255\n"
            "      'Grn ': double 255\n"
            "      'Bl  ': double 255\n"
            "    }\n"
            "  }\n");
  SetLayerContentColor(app, RGBValue(239, 253, 0));
  EXPECT_EQ(doc.engineDocument()->content().layer(area.Id()).fillColor, (engine::Rgb{239, 253, 0}));
  EXPECT_EQ(fixtures::pixel(doc, area, 50, 50), (engine::Rgb{239, 253, 0}));

  doc.SetActiveLayer(doc.ArtLayers()("Layer 1"));
  try {
    SetLayerContentColor(app, 255);
    FAIL() << "a pixel layer has no fill colour";
  } catch (const AutomationError& e) {
    EXPECT_NE(e.Description().find("\"Layer 1\" is not a solid colour fill layer"), std::string::npos);
  }
}

// Without a host the save is refused with the engine's own error, never taken for the user's cancel.
TEST(SaveAsPSD, AsksTheHostForTheFileWritesItAndTheDocumentTakesItsName) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("quillary-save-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  Application app = pixelApplication();
  Document doc = app.Documents().Add(60, 40, 72, "Final MenuCopy", ps::NewRGB, ps::FillTransparent);
  paintedLayer(app, doc, "Button Area", RectangleRegion(5, 5, 20, 20), SolidColor(239, 253, 0));
  const auto save = [&] { return fixtures::errorOf([&] { SaveAsPSD(app, "Final MenuCopy"); }); };
  EXPECT_TRUE(save().Is(ErrorCode::NoHostToAsk));
  EXPECT_EQ(lastAction(app),
            "event 'save' dialog 1\n"
            "  'As  ': object 'Pht3' {\n"
            "    \"maximizeCompatibility\": boolean true\n"
            "  }\n"
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

TEST(DeleteLayerStyle, SwitchesTheStyleOffAndIgnoresALayerWithoutOne) {
  Application app = pixelApplication();
  Document doc = app.Documents().Add(100, 100, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
  engine::LayerNode styled = engine::LayerNode::artLayer("Button Mask 1");
  styled.hasStyle = true;
  Layer layer = engineLayer(app, doc, styled);
  DeleteLayerStyle(app);
  EXPECT_EQ(lastAction(app),
            "event \"disableLayerStyle\" dialog 3\n"
            "  'null': reference ['Lyr ': enumerated 'Ordn' 'Trgt']\n");
  EXPECT_FALSE(doc.engineDocument()->content().layer(layer.Id()).styleEnabled);

  doc.SetActiveLayer(doc.ArtLayers()("Layer 1"));
  const std::size_t states = doc.engineDocument()->history().size();
  EXPECT_NO_THROW(DeleteLayerStyle(app));
  EXPECT_EQ(doc.engineDocument()->history().size(), states);
}

// A button image drawn with a layer style: its silhouette (copied, style switched off,
// rasterised, refilled white keeping transparency) is the bare shape, while the button image
// itself composites with its shadow and stroke.
TEST(DeleteLayerStyle, TheSilhouetteOfAStyledButtonImageIsItsBareShape) {
  Application app = pixelApplication();
  Document doc = app.Documents().Add(200, 120, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
  engine::LayerNode button = engine::LayerNode::artLayer("Button Image");
  button.pixels = engine::Raster::filled({50, 40, 150, 80}, {30, 60, 200});
  auto fx = std::make_shared<engine::LayerEffects>();
  engine::ShadowEffect shadow;
  shadow.distance = 8;
  shadow.size = 3;
  fx->dropShadows.push_back(shadow);
  engine::StrokeEffect stroke;
  stroke.size = 2;
  stroke.fill.color = {255, 200, 0};
  fx->strokes.push_back(stroke);
  button.hasStyle = true;
  button.effects = fx;
  Layer image = engineLayer(app, doc, button);

  Layer silhouette = image.Duplicate();
  silhouette.SetName("Button Mask 1");
  doc.SetActiveLayer(silhouette);
  DeleteLayerStyle(app);
  silhouette.Rasterize(ps::RasterizeShape);
  doc.Selection().SelectAll();
  doc.Selection().Fill(SolidColor(255, 255, 255), ps::NormalBlend, 100, true);

  const engine::DocumentContent& c = doc.engineDocument()->content();
  const engine::Rect canvas = c.canvas();
  const engine::Raster bare = engine::compositeLayers({c.layer(silhouette.Id())}, canvas, canvas);
  const engine::Raster styledImage = engine::compositeLayers({c.layer(image.Id())}, canvas, canvas);
  EXPECT_EQ(bare.alphaAt(100, 60), 255);
  EXPECT_EQ(bare.pixel(100, 60)[0], 255);
  for (const auto& [x, y] : {std::pair{155, 86}, std::pair{49, 60}}) {
    EXPECT_EQ(bare.alphaAt(x, y), 0) << x << "," << y;
    EXPECT_GT(styledImage.alphaAt(x, y), 0) << x << "," << y;
  }
  EXPECT_TRUE(c.layer(image.Id()).styleEnabled);
}

TEST(ActionOperations, BusyFailuresReachTheCallerOfEveryOperation) {
  Application app = pixelApplication();
  Document doc = app.Documents().Add(100, 100, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
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
      try {
        run();
        ADD_FAILURE() << name << " swallowed a busy " << member;
      } catch (const AutomationError& e) {
        EXPECT_TRUE(e.Is(ErrorCode::Busy)) << name;
      }
      app.faults().clear();
    }
  }
  EXPECT_EQ(app.Documents().Count(), 1);
  EXPECT_EQ(doc.Width(), 100);
}
