// A document built through the object model alone, rewound, and checked pixel by pixel.

#include <gtest/gtest.h>

#include "photoshop_fixtures.h"

using namespace photoshop;

TEST(Scenario, TwoSetsBuiltThroughTheObjectModelRewindToEachStep) {
  Application app = fixtures::pixelApplication();
  app.Preferences().SetNumberOfHistoryStates(500);
  Document doc = app.Documents().Add(720, 540, 72, "Button Template", ps::NewRGB, ps::FillTransparent);
  const HistoryState empty = doc.ActiveHistoryState();

  // Set "Btn Tmpl" with a yellow button area and a red hilite mask, linked.
  Layer btn = doc.LayerSets().Add();
  btn.SetName("Btn Tmpl");
  Layer area = btn.ArtLayers().Add();
  area.SetName("Button Area");
  doc.Selection().Select(RectangleRegion(100, 100, 200, 140));
  app.SetForegroundColor(SolidColor(239, 253, 0));
  doc.Selection().Fill(app.ForegroundColor());
  Layer hilite = btn.ArtLayers().Add();
  hilite.SetName("Hilite Mask");
  doc.Selection().Select(RectangleRegion(110, 110, 190, 130));
  doc.Selection().Fill(SolidColor(218, 0, 18));
  doc.Selection().Deselect();
  area.Link(hilite);
  const HistoryState oneSet = doc.ActiveHistoryState();

  // Set "Next Tmpl" holding a copy of the button area, moved with its links.
  Layer next = doc.LayerSets().Add();
  next.SetName("Next Tmpl");
  Layer copy = area.Duplicate();
  EXPECT_EQ(copy.Name(), "Button Area copy");
  copy.MoveToBeginning(next);
  area.Translate(0, 200);
  EXPECT_EQ(hilite.Bounds(), (std::array<double, 4>{110, 310, 190, 330}));
  EXPECT_EQ(copy.Bounds(), (std::array<double, 4>{100, 100, 200, 140})) << "the copy is not linked to the original";

  EXPECT_EQ(doc.LayerSets().Count(), 2);
  EXPECT_EQ(next.Layers().Count(), 1);
  EXPECT_EQ(fixtures::pixel(doc, hilite, 150, 320), (engine::Rgb{218, 0, 18}));

  doc.SetActiveHistoryState(oneSet);
  EXPECT_EQ(doc.LayerSets().Count(), 1);
  EXPECT_EQ(fixtures::pixel(doc, hilite, 150, 120), (engine::Rgb{218, 0, 18})) << "back where it was before the move";
  EXPECT_EQ(fixtures::pixel(doc, area, 105, 105), (engine::Rgb{239, 253, 0}));
  EXPECT_THROW(next.Name(), AutomationError) << "the set made after that state is gone";

  // Merging the set composites its visible members into one layer named after it.
  hilite.SetVisible(false);
  Layer merged = btn.Merge();
  EXPECT_EQ(merged.Name(), "Btn Tmpl");
  EXPECT_EQ(fixtures::pixel(doc, merged, 150, 120), (engine::Rgb{239, 253, 0}));

  doc.SetActiveHistoryState(empty);
  EXPECT_EQ(doc.Layers().Count(), 1);
  EXPECT_EQ(doc.Layers()(1).Name(), "Layer 1");
}
