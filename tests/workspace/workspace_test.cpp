// What the workspace shows: tabs that follow the active document, the canvas's pixels, and the
// Layers panel's rows and clicks.

#include <QTabBar>
#include <QTreeWidget>

#include "engine/composite.h"
#include "workspace/layers_panel.h"
#include "workspace_fixture.h"

using workspace::LayersPanel;
using workspace_test::WorkspaceTest;

TEST_F(WorkspaceTest, TabsFollowTheActiveDocumentBothWays) {
  photoshop::Document second = app.Documents().Add(50, 50, 72, "Button Template");
  workspace.sync();
  QTabBar& tabs = workspace.tabs();
  ASSERT_EQ(tabs.count(), 2);
  EXPECT_EQ(tabs.tabText(0), QStringLiteral("Build Menu*"));  // edited since it was made
  EXPECT_EQ(tabs.tabText(1), QStringLiteral("Button Template"));
  EXPECT_EQ(tabs.currentIndex(), 1);

  tabs.setCurrentIndex(0);  // the user's click
  EXPECT_EQ(app.ActiveDocument().Name(), "Build Menu");
  EXPECT_EQ(canvas().document(), doc.engineDocument());

  app.SetActiveDocument(second);  // a workflow command
  workspace.sync();
  EXPECT_EQ(tabs.currentIndex(), 1);
  EXPECT_EQ(canvas().document(), second.engineDocument());

  second.Close(photoshop::ps::DoNotSaveChanges);
  workspace.sync();
  EXPECT_EQ(tabs.count(), 1);
  EXPECT_EQ(canvas().document(), doc.engineDocument());
}

TEST_F(WorkspaceTest, TheCanvasShowsTheEnginesCompositeOverACheckerboard) {
  showWorkspace();
  canvas().actualPixels();
  const QImage shot = canvas().grab().toImage();
  const engine::Raster composite = engine::compositeDocument(engine().content());
  const struct {
    int x, y;
  } probes[] = {{15, 15}, {55, 45}, {100, 70}, {0, 0}, {35, 25}};
  for (const auto& p : probes) {
    const QPoint at = canvas().toWidget(QPointF(p.x + 0.5, p.y + 0.5)).toPoint();
    const std::uint8_t* want = composite.pixel(p.x, p.y);
    EXPECT_EQ(shot.pixelColor(at), QColor(want[0], want[1], want[2])) << p.x << "," << p.y;
  }
  // With the background hidden the transparent parts show the checkerboard's light squares.
  photoshop::Layer background = doc.Layers().Item(doc.Layers().Count());
  background.SetVisible(false);
  workspace.sync();
  const QColor empty = canvas().grab().toImage().pixelColor(canvas().toWidget(QPointF(100.5, 70.5)).toPoint());
  EXPECT_TRUE(empty == QColor(Qt::white) || empty == QColor(204, 204, 204)) << empty.name().toStdString();
}

TEST_F(WorkspaceTest, ALiveChangeByAutomationAppearsAtTheNextLook) {
  const QImage before = canvas().compositeShown();
  photoshop::Layer labelLayer = app.layerFor(doc.engineDocument(), label);
  labelLayer.SetVisible(false);
  workspace.sync();
  EXPECT_NE(canvas().compositeShown(), before);
  EXPECT_EQ(workspace.layersPanel().itemFor(label)->checkState(LayersPanel::EyeColumn), Qt::Unchecked);
}

TEST_F(WorkspaceTest, LayersPanelListsTheTreeTopFirstWithLinkMarks) {
  LayersPanel& panel = workspace.layersPanel();
  ASSERT_EQ(panel.topLevelItemCount(), 3);
  EXPECT_EQ(panel.topLevelItem(0)->text(LayersPanel::NameColumn), QStringLiteral("Label"));
  EXPECT_EQ(panel.topLevelItem(1)->text(LayersPanel::NameColumn), QStringLiteral("Button 1"));
  EXPECT_EQ(panel.topLevelItem(1)->child(0)->text(LayersPanel::NameColumn), QStringLiteral("Face"));
  EXPECT_EQ(panel.topLevelItem(2)->text(LayersPanel::NameColumn), QStringLiteral("Background"));
  EXPECT_FALSE(panel.itemFor(label)->icon(LayersPanel::LinkColumn).isNull());
  EXPECT_TRUE(panel.itemFor(set)->icon(LayersPanel::LinkColumn).isNull());
  EXPECT_EQ(panel.currentItem(), panel.itemFor(face));
}

TEST_F(WorkspaceTest, TheEyeSetsVisibleWithoutAHistoryState) {
  const std::size_t states = engine().history().size();
  workspace.layersPanel().itemFor(set)->setCheckState(LayersPanel::EyeColumn, Qt::Unchecked);
  EXPECT_FALSE(app.layerFor(doc.engineDocument(), set).Visible());
  EXPECT_EQ(engine().history().size(), states);
  workspace.layersPanel().itemFor(set)->setCheckState(LayersPanel::EyeColumn, Qt::Checked);
  EXPECT_TRUE(app.layerFor(doc.engineDocument(), set).Visible());
}

TEST_F(WorkspaceTest, AClickMakesTheLayerActiveAndADoubleClickRenamesIt) {
  showWorkspace();
  LayersPanel& panel = workspace.layersPanel();
  const QRect row = panel.visualItemRect(panel.itemFor(label));
  QTest::mouseClick(panel.viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(doc.ActiveLayer().Id(), label);

  panel.itemFor(label)->setText(LayersPanel::NameColumn, QStringLiteral("Caption"));  // what the editor commits
  EXPECT_EQ(node(label).name, "Caption");
  EXPECT_EQ(engine().history().current().name, "Rename Layer");
}
