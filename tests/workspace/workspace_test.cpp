// What the workspace shows: tabs that follow the active document, the canvas's pixels, and the
// Layers panel's rows and clicks; and the window's own commands: its geometry kept in the
// settings, File > New, and the Layers panel's context menu acting on the engine's document.

#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "engine/composite.h"
#include "workspace/layers_panel.h"
#include "workspace_fixture.h"

using workspace::LayersPanel;
using workspace_test::WorkspaceTest;

namespace {

QAction* actionCaptioned(const QList<QAction*>& actions, const QString& caption) {
  for (QAction* a : actions)
    if (a->text() == caption) return a;
  return nullptr;
}

// The names of the Layers panel's top-level rows, top first.
std::vector<std::string> rowsOf(const LayersPanel& panel) {
  std::vector<std::string> rows;
  for (int i = 0; i < panel.topLevelItemCount(); ++i)
    rows.push_back(panel.topLevelItem(i)->text(LayersPanel::NameColumn).toStdString());
  return rows;
}

}  // namespace

TEST_F(WorkspaceTest, TabsFollowTheActiveDocumentBothWaysAndFileNewAddsADocumentOfTheAskedSize) {
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

  // File > New makes a document of the asked size, and its cancel none.
  QAction* create = actionCaptioned(workspace.actions(), QString::fromUtf8("&New\u2026"));
  ASSERT_NE(create, nullptr);
  quillary_test::answerNextDialog([](QDialog& dialog) { dialog.reject(); });
  create->trigger();
  EXPECT_EQ(app.Documents().Count(), 1);
  quillary_test::answerNextDialog([](QDialog& dialog) {
    const QList<QSpinBox*> boxes = dialog.findChildren<QSpinBox*>();  // width, height, resolution
    ASSERT_EQ(boxes.size(), 3);
    boxes[0]->setValue(300);
    boxes[1]->setValue(200);
    dialog.accept();
  });
  create->trigger();
  ASSERT_EQ(app.Documents().Count(), 2);
  const photoshop::Document made = app.ActiveDocument();
  EXPECT_EQ(std::tuple(made.Name(), made.Width(), made.Height()), std::tuple("Untitled-1", 300, 200));
  EXPECT_EQ(tabs.count(), 2);
  EXPECT_EQ(tabs.currentIndex(), 1);
}

TEST_F(WorkspaceTest, TheCanvasShowsTheEnginesCompositeOverACheckerboard) {
  showWorkspace();
  canvas().actualPixels();
  const QImage shot = canvas().grab().toImage();
  const engine::Raster composite = engine::compositeDocument(engine().content());
  for (const auto& [x, y] : {std::pair{15, 15}, {55, 45}, {100, 70}, {0, 0}, {35, 25}}) {
    const std::uint8_t* want = composite.pixel(x, y);
    const QPoint at = canvas().toWidget(QPointF(x + 0.5, y + 0.5)).toPoint();
    EXPECT_EQ(shot.pixelColor(at), QColor(want[0], want[1], want[2])) << x << "," << y;
  }
  // With the background hidden the transparent parts show the checkerboard's light squares.
  doc.Layers().Item(doc.Layers().Count()).SetVisible(false);  // the background
  workspace.sync();
  const QColor empty = canvas().grab().toImage().pixelColor(canvas().toWidget(QPointF(100.5, 70.5)).toPoint());
  EXPECT_TRUE(empty == QColor(Qt::white) || empty == QColor(204, 204, 204)) << empty.name().toStdString();
}

// The eye makes no history state; a change by automation shows at the next look.
TEST_F(WorkspaceTest, TheLayersPanelListsTheTreeAClickMakesALayerActiveADoubleClickRenamesItAndTheEyeHidesIt) {
  showWorkspace();
  LayersPanel& panel = workspace.layersPanel();
  ASSERT_EQ(rowsOf(panel), (std::vector<std::string>{"Label", "Button 1", "Background"}));
  EXPECT_EQ(panel.topLevelItem(1)->child(0)->text(LayersPanel::NameColumn), QStringLiteral("Face"));
  EXPECT_FALSE(panel.itemFor(label)->icon(LayersPanel::LinkColumn).isNull());
  EXPECT_TRUE(panel.itemFor(set)->icon(LayersPanel::LinkColumn).isNull());
  EXPECT_EQ(panel.currentItem(), panel.itemFor(face));

  QTest::mouseClick(panel.viewport(), Qt::LeftButton, {}, panel.visualItemRect(panel.itemFor(label)).center());
  EXPECT_EQ(doc.ActiveLayer().Id(), label);
  panel.itemFor(label)->setText(LayersPanel::NameColumn, QStringLiteral("Caption"));  // what the editor commits
  EXPECT_EQ(node(label).name, "Caption");
  EXPECT_EQ(engine().history().current().name, "Rename Layer");

  const std::size_t states = engine().history().size();
  panel.itemFor(set)->setCheckState(LayersPanel::EyeColumn, Qt::Unchecked);
  EXPECT_FALSE(app.layerFor(doc.engineDocument(), set).Visible());
  EXPECT_EQ(engine().history().size(), states);
  panel.itemFor(set)->setCheckState(LayersPanel::EyeColumn, Qt::Checked);
  EXPECT_TRUE(app.layerFor(doc.engineDocument(), set).Visible());

  const QImage before = canvas().compositeShown();
  app.layerFor(doc.engineDocument(), label).SetVisible(false);
  workspace.sync();
  EXPECT_NE(canvas().compositeShown(), before);
  EXPECT_EQ(panel.itemFor(label)->checkState(LayersPanel::EyeColumn), Qt::Unchecked);
}

TEST_F(WorkspaceTest, AFreshWindowComesBackWhereTheLastOneWasClosed) {
  QWidget mainWindow;
  workspace.showBeside(mainWindow);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&workspace));
  const QRect placed(140, 90, 820, 560);
  workspace.setGeometry(placed);
  ASSERT_EQ(workspace.geometry(), placed);
  workspace.close();

  photoshop::Application other;
  workspace::Workspace fresh(other, settings);
  fresh.showBeside(mainWindow);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
  EXPECT_EQ(fresh.geometry(), placed);
}

namespace {

// Opens the row's context menu as a right-click does and chooses the entry.
void choose(LayersPanel& panel, engine::LayerId row, const QStringList& entry) {
  QTimer::singleShot(0, &panel, [&panel, entry] {
    QMenu* menu = panel.findChild<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(menu, nullptr);
    QMenu* level = menu;
    QAction* chosen = nullptr;
    for (const QString& caption : entry) {
      chosen = level ? actionCaptioned(level->actions(), caption) : nullptr;
      level = chosen ? chosen->menu() : nullptr;
    }
    menu->close();
    ASSERT_NE(chosen, nullptr) << entry.join(QStringLiteral(" > ")).toStdString();
    chosen->trigger();
  });
  const QPoint at = panel.visualItemRect(panel.itemFor(row)).center();
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, panel.viewport()->mapToGlobal(at));
  QApplication::sendEvent(panel.viewport(), &click);
  QApplication::processEvents();  // the panel rebuilds once the menu has gone
}

}  // namespace

// The entries one after another, on "Label", linked with the active "Face", and on the set "Button 1".
TEST_F(WorkspaceTest, EachLayersPanelMenuEntryChangesTheDocumentAsOneHistoryStateAndThePanelShowsIt) {
  showWorkspace();
  const auto group = [this](engine::LayerId id) { return node(id).linkGroup; };
  const auto at = [this](std::size_t i) { return engine().content().layers.at(i).id; };
  const auto names = [this] { return fixtures::layerNames(engine().content().layers); };
  const struct {
    engine::LayerId row;
    QStringList entry;
    std::function<bool()> done;
  } steps[] = {
      {label, {"Label Color", "Red"}, [&] { return node(label).colorLabel == engine::ColorLabel::Red; }},
      {set, {"Link with Active Layer"}, [&] { return group(set) != 0 && group(set) == group(face); }},
      {label, {"Unlink Layer"}, [&] { return group(label) == 0 || group(label) != group(face); }},
      {label, {"Move Down"}, [&] { return at(1) == label; }},  // below "Button 1"
      {set, {"Move Down"}, [&] { return at(1) == set; }},
      {set, {"Move Up"}, [&] { return at(0) == set; }},
      {label, {"Duplicate Layer"},
       [&] { return names() == std::vector<std::string>{"Button 1", "Label copy", "Label", "Background"}; }},
      {label, {"Delete Layer"}, [&] { return engine().content().find(label) == nullptr; }},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.entry.join(QStringLiteral(" > ")).toStdString());
    const std::size_t states = engine().history().size();
    choose(workspace.layersPanel(), step.row, step.entry);
    EXPECT_TRUE(step.done());
    EXPECT_EQ(engine().history().size(), states + 1);
    EXPECT_EQ(rowsOf(workspace.layersPanel()), names());
  }
}
