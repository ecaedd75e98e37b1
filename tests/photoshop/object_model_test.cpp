// The automation object model: documents, collections, layers, colours, preferences.

#include <gtest/gtest.h>

#include "photoshop_fixtures.h"

using namespace photoshop;

namespace {

class ObjectModelTest : public ::testing::Test {
 protected:
  Document transparent(const char* name, int size = 100) {
    return app.Documents().Add(size, size, 72, name, ps::NewRGB, ps::FillTransparent);
  }
  Application app = fixtures::pixelApplication();
};

}  // namespace

TEST_F(ObjectModelTest, DocumentsAreAddedNamedFilledAndActivatedAndClosingActivatesTheOneBefore) {
  Document menu = app.Documents().Add(720, 540, 72, "Build Menu", ps::NewRGB, ps::FillTransparent);
  EXPECT_EQ(menu.Layers().Count(), 1);
  EXPECT_EQ(menu.ArtLayers()(1).Name(), "Layer 1");
  EXPECT_FALSE(menu.ArtLayers()(1).IsBackgroundLayer());
  Document white = app.Documents().Add(100, 50);
  EXPECT_EQ(white.Name(), "Untitled-1");
  EXPECT_TRUE(white.ArtLayers()("Background").IsBackgroundLayer());
  EXPECT_EQ(app.ActiveDocument(), white);
  EXPECT_EQ(app.Documents().Count(), 2);
  EXPECT_EQ(app.Documents()(1), menu);
  EXPECT_EQ(app.Documents()("Build Menu").Width(), 720);
  app.SetActiveDocument(menu);
  EXPECT_EQ(app.ActiveDocument().Name(), "Build Menu");

  Document last = app.Documents().Add(10, 10, 72, "c");
  app.SetActiveDocument(menu);
  app.SetActiveDocument(last);
  last.Close(ps::DoNotSaveChanges);
  EXPECT_EQ(app.ActiveDocument(), menu) << "not the one added before";
  EXPECT_EQ(app.Documents().Count(), 2);
}

TEST(Documents, LengthsFollowTheRulerUnits) {
  Application app;
  app.Preferences().SetRulerUnits(2);  // inches
  Document doc = app.Documents().Add(2, 1, 100);
  EXPECT_EQ(doc.Width(), 200);
  EXPECT_EQ(doc.Height(), 100);
}

TEST_F(ObjectModelTest, LayerCollectionsSeeOnlyTheirKindAndOnlyDirectMembers) {
  Document doc = transparent("doc");
  Layer set = doc.LayerSets().Add();
  Layer inner = set.ArtLayers().Add();
  inner.SetName("Title Area");
  EXPECT_EQ(doc.LayerSets().Count(), 1);
  EXPECT_EQ(doc.ArtLayers().Count(), 1);
  EXPECT_EQ(doc.Layers().Count(), 2);
  EXPECT_EQ(doc.Layers()(1).Name(), "Set 1");
  EXPECT_TRUE(doc.Layers()(1).IsLayerSet());
  EXPECT_THROW(doc.ArtLayers()("Title Area"), AutomationError) << "a nested layer is not a top-level layer";
  EXPECT_EQ(set.Layers()("Title Area"), inner);
  EXPECT_THROW(inner.ArtLayers(), AutomationError);
  EXPECT_THROW(set.Kind(), AutomationError);
}

TEST_F(ObjectModelTest, LayerPropertiesRoundTripAsPhotoshopShowsThem) {
  Layer layer = transparent("doc").ArtLayers()(1);
  layer.SetOpacity(33);
  EXPECT_NEAR(layer.Opacity(), 32.94, 0.01);  // stored as 84 of 255, as in a file
  layer.SetBlendMode(4);
  EXPECT_EQ(layer.BlendMode(), 4);
  EXPECT_THROW(layer.SetBlendMode(1), AutomationError) << "pass through belongs to sets";
  EXPECT_THROW(layer.SetBlendMode(24), AutomationError);
  EXPECT_THROW(layer.SetOpacity(101), AutomationError);
  EXPECT_EQ(layer.Kind(), 1);
  layer.SetVisible(false);
  EXPECT_FALSE(layer.Visible());
}

TEST_F(ObjectModelTest, ABackgroundLayerIsLockedUntilMadeAnOrdinaryLayer) {
  Layer bg = app.Documents().Add(20, 20).ArtLayers()("Background");
  EXPECT_THROW(bg.Translate(1, 1), AutomationError);
  EXPECT_THROW(bg.SetOpacity(50), AutomationError);
  bg.SetIsBackgroundLayer(false);
  EXPECT_EQ(bg.Name(), "Layer 0");
  bg.Translate(2, 3);
  EXPECT_EQ(bg.Bounds(), (std::array<double, 4>{2, 3, 22, 23}));
}

TEST_F(ObjectModelTest, ForegroundAndBackgroundAreCopiesOfTheSolidColour) {
  SolidColor c = SolidColor(239, 253, 0);
  app.SetForegroundColor(c);
  c.RGB().SetRed(0);
  EXPECT_EQ(app.ForegroundColor().RGB().Red(), 239);
  app.SetBackgroundColor(c);
  EXPECT_EQ(app.BackgroundColor().RGB().Red(), 0);
  EXPECT_THROW(c.RGB().SetGreen(256), AutomationError);
  EXPECT_THROW(c.RGB().SetBlue(-1), AutomationError);
}

TEST(Preferences, AreReadAndWrittenAndCheckedAndLimitHistory) {
  Application app;
  Preferences prefs = app.Preferences();
  EXPECT_EQ(prefs.RulerUnits(), 2);
  prefs.SetNumberOfHistoryStates(500);
  prefs.SetInterpolation(ps::NearestNeighbor);
  EXPECT_EQ(prefs.NumberOfHistoryStates(), 500);
  EXPECT_EQ(prefs.Interpolation(), 2);
  EXPECT_THROW(prefs.SetNumberOfHistoryStates(0), AutomationError);
  EXPECT_THROW(prefs.SetRulerUnits(8), AutomationError);
  prefs.SetRulerUnits(1);
  prefs.SetNumberOfHistoryStates(3);
  Document doc = app.Documents().Add(10, 10, 72, "d", ps::NewRGB, ps::FillTransparent);
  HistoryState first = doc.ActiveHistoryState();
  for (int i = 0; i < 4; ++i) doc.ArtLayers().Add();
  EXPECT_THROW(doc.SetActiveHistoryState(first), AutomationError) << "a dropped state fails on use";
  EXPECT_THROW(first.Name(), AutomationError);
}

TEST_F(ObjectModelTest, KeywordsLiveWithTheDocumentAndFollowItsHistory) {
  Document doc = transparent("Build Menu", 10);
  EXPECT_TRUE(doc.Info().KeyWords().empty());
  const std::vector<std::string> tag{"Clone Buttons Complete", "6", "FTTTFFF"};
  doc.Info().SetKeyWords(tag);
  EXPECT_EQ(doc.Info().KeyWords(), tag);
  const HistoryState tagged = doc.ActiveHistoryState();
  doc.ArtLayers().Add();
  doc.Info().SetKeyWords({"Build Menu Complete"});
  doc.SetActiveHistoryState(tagged);
  EXPECT_EQ(doc.Info().KeyWords(), tag);
}

TEST_F(ObjectModelTest, TheHistogramCountsLevelsOfTheMergedImage) {
  Document doc = app.Documents().Add(10, 10);  // white
  doc.Selection().Select(RectangleRegion(0, 0, 5, 2));
  doc.Selection().Fill(SolidColor(10, 20, 30));
  doc.Selection().Deselect();
  const std::vector<int> red = doc.Channels()("Red").Histogram();
  EXPECT_EQ(red[10], 10);
  EXPECT_EQ(red[255], 90);
  EXPECT_EQ(doc.Channels().Item(3).Histogram()[30], 10);
  EXPECT_THROW(doc.Channels()("Alpha"), AutomationError);
}

TEST_F(ObjectModelTest, CopyAndPasteAcrossDocumentsKeepThePosition) {
  Document src = app.Documents().Add(100, 100, 72, "src");
  src.Selection().Select(RectangleRegion(20, 30, 40, 35));
  src.Selection().Copy();
  Document dest = transparent("dest");
  Layer pasted = dest.Paste();
  EXPECT_EQ(pasted.Name(), "Layer 2");
  EXPECT_EQ(pasted.Bounds(), (std::array<double, 4>{20, 30, 40, 35}));
  EXPECT_EQ(dest.ActiveLayer(), pasted);
}
