// Editing in the workspace: moving by drag and keys, the pending transform, the history, fill, pictures
// and the external editor; and its files: the close prompt, the save dialog, Save As, Export PNG and Open.

#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <fstream>

#include "app/window/form1_window.h"
#include "formats/document_io.h"
#include "photoshop/action_operations.h"
#include "workspace/document_edits.h"
#include "workspace/external_editor.h"
#include "workspace/history_panel.h"
#include "workspace/workspace_host.h"
#include "workspace_fixture.h"

using workspace_test::WorkspaceTest;

TEST_F(WorkspaceTest, ADragMovesTheActiveLayerWithItsLinkedLayersAsOneHistoryStateAndSoDoTheArrowKeys) {
  showWorkspace();
  canvas().actualPixels();
  const engine::Rect faceBefore = node(face).pixels.bounds(), labelBefore = node(label).pixels.bounds();
  const std::size_t states = engine().history().size();
  const QPoint start = canvas().toWidget(QPointF(20, 20)).toPoint();
  QTest::mousePress(&canvas(), Qt::LeftButton, {}, start);
  for (int step = 1; step <= 5; ++step) QTest::mouseMove(&canvas(), start + QPoint(step * 3, step * 2));
  QTest::mouseRelease(&canvas(), Qt::LeftButton, {}, start + QPoint(15, 10));
  EXPECT_EQ(node(face).pixels.bounds(), faceBefore.translated(15, 10));
  EXPECT_EQ(node(label).pixels.bounds(), labelBefore.translated(15, 10));
  EXPECT_EQ(engine().history().size(), states + 1);
  EXPECT_EQ(engine().history().current().name, "Move");

  // The arrow keys move by one pixel, with Shift by ten.
  for (const auto& [key, modifiers, dx, dy] :
       {std::tuple{Qt::Key_Left, Qt::KeyboardModifiers(), -1, 0}, {Qt::Key_Down, {}, 0, 1},
        {Qt::Key_Right, Qt::ShiftModifier, 10, 0}, {Qt::Key_Up, Qt::ShiftModifier, 0, -10}}) {
    const engine::Rect before = node(label).pixels.bounds();
    QTest::keyClick(&canvas(), key, modifiers);
    EXPECT_EQ(node(label).pixels.bounds(), before.translated(dx, dy)) << dx << "," << dy;
  }
}

// The handles scale the layer once Enter is pressed; meanwhile automation is refused as busy, and
// Enter reaches the workspace while the main window's message about it waits.
TEST_F(WorkspaceTest, APendingTransformMakesAutomationBusyUntilEnterAndEscapeLeavesTheLayerAsItWas) {
  showWorkspace();
  canvas().actualPixels();
  photoshop::Layer faceLayer = app.layerFor(doc.engineDocument(), face);
  ASSERT_TRUE(canvas().beginTransform());
  // Drag the bottom-right handle 30 pixels right and 20 down: 30x20 becomes 60x40.
  const QPoint corner = canvas().toWidget(QPointF(40, 30)).toPoint();
  QTest::mousePress(&canvas(), Qt::LeftButton, {}, corner);
  QTest::mouseMove(&canvas(), corner + QPoint(30, 20));
  QTest::mouseRelease(&canvas(), Qt::LeftButton, {}, corner + QPoint(30, 20));
  EXPECT_EQ(node(face).pixels.bounds(), (engine::Rect{10, 10, 40, 30})) << "nothing changes before Enter";
  try {
    faceLayer.Translate(1, 0);
    ADD_FAILURE() << "the call went through";
  } catch (const photoshop::AutomationError& e) {
    EXPECT_EQ(e.Number(), std::int32_t(0x80042260u));
  }
  app::window::Form1Window mainWindow;
  mainWindow.show();
  bool windowModal = false, committed = false;
  QTimer::singleShot(0, [&] {
    auto* box = mainWindow.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    windowModal = box->windowModality() == Qt::WindowModal;
    canvas().setFocus();
    QTest::keyClick(workspace.windowHandle(), Qt::Key_Return);  // through the window, as a user types
    committed = !app.engine().pendingEdit;
    box->button(QMessageBox::Retry)->click();
  });
  EXPECT_EQ(mainWindow.MsgBox("busy", app::MsgBoxButtons::RetryCancel, "Quillary"), app::MsgBoxResult::Retry);
  EXPECT_TRUE(windowModal);
  EXPECT_TRUE(committed);
  EXPECT_EQ(node(face).pixels.bounds(), (engine::Rect{10, 10, 70, 50}));
  EXPECT_EQ(engine().history().current().name, "Free Transform");
  EXPECT_NO_THROW(faceLayer.Translate(1, 0));
  EXPECT_EQ(node(face).pixels.bounds(), (engine::Rect{11, 10, 71, 50}));

  ASSERT_TRUE(canvas().beginTransform());
  QTest::keyClick(&canvas(), Qt::Key_Escape);
  EXPECT_FALSE(app.engine().pendingEdit);
  EXPECT_EQ(node(face).pixels.bounds(), (engine::Rect{11, 10, 71, 50}));
}

TEST_F(WorkspaceTest, AHistoryClickRewindsAndTheKeysStepBackAndForth) {
  showWorkspace();
  canvas().nudge(5, 0);
  canvas().nudge(0, 5);
  workspace.sync();
  const engine::Rect moved = node(face).pixels.bounds();
  workspace::HistoryPanel& history = workspace.historyPanel();
  ASSERT_EQ(history.count(), 4);  // New, Buttons, Move, Move
  history.setCurrentRow(1);
  EXPECT_EQ(node(face).pixels.bounds(), (engine::Rect{10, 10, 40, 30}));
  EXPECT_EQ(doc.ActiveHistoryState().Name(), "Buttons");

  canvas().setFocus();
  QTest::keyClick(workspace.windowHandle(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(workspace.windowHandle(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(node(face).pixels.bounds(), moved);
  QTest::keyClick(workspace.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(node(face).pixels.bounds(), moved.translated(0, -5));
  EXPECT_EQ(history.currentRow(), 2);
}

// A fill that preserves transparency leaves the selection's empty pixels empty; one that does not fills them.
TEST_F(WorkspaceTest, AFillCoversTheSelectionOnTheActiveLayer) {
  engine().edit("Select", [](engine::DocumentContent& c) {
    engine::selectRegion(c, {{0, 0}, {20, 0}, {20, 20}, {0, 20}}, engine::SelectionType::Replace, 0);
  });
  for (const bool preserveTransparency : {true, false}) {
    SCOPED_TRACE(preserveTransparency ? "transparency preserved" : "transparency painted");
    ASSERT_TRUE(workspace.fillWith(QColor(0, 255, 0), preserveTransparency));
    const engine::LayerNode& layer = node(face);
    EXPECT_EQ(fixtures::rgbAt(layer.pixels, 15, 15), (engine::Rgb{0, 255, 0}));  // selected and opaque
    EXPECT_EQ(fixtures::rgbAt(layer.pixels, 30, 25), (engine::Rgb{200, 0, 0}));  // opaque, outside the selection
    EXPECT_EQ(layer.pixels.alphaAt(5, 5) == 255, !preserveTransparency);  // transparent before, inside
    EXPECT_EQ(engine().history().current().name, "Fill");
  }
}

TEST_F(WorkspaceTest, APlacedPictureBecomesANewLayerAndReplaceKeepsTheLayersCorner) {
  QImage picture(20, 10, QImage::Format_RGB32);
  picture.fill(QColor(10, 20, 30));
  const QString png = dir.filePath(QStringLiteral("stamp.png"));
  ASSERT_TRUE(picture.save(png));

  ASSERT_TRUE(workspace.placePictureFile(png));
  const engine::LayerNode& placed = node(engine().content().activeLayer);
  EXPECT_EQ(placed.name, "stamp");
  EXPECT_EQ(placed.pixels.bounds(), (engine::Rect{50, 35, 70, 45}));  // centred on 120 x 80

  workspace::edits::setActiveLayer(app.engine(), engine(), face);
  ASSERT_TRUE(workspace.replaceLayerPixelsFrom(png));
  EXPECT_EQ(node(face).pixels.bounds(), (engine::Rect{10, 10, 30, 20}));
  EXPECT_EQ(fixtures::rgbAt(node(face).pixels, 10, 10), (engine::Rgb{10, 20, 30}));

  EXPECT_FALSE(workspace.placePictureFile(dir.filePath(QStringLiteral("missing.png"))));
}

TEST_F(WorkspaceTest, AnExternalEditThatRewritesThePsdReplacesTheLayersAsOneState) {
  // What the editor will save: the document with one layer less.
  engine::DocumentContent edited = engine().content();
  edited.layers.erase(edited.layers.begin());  // "Label"
  const QString prepared = dir.filePath(QStringLiteral("edited.psd"));
  formats::writePsd(edited, prepared.toStdString());
  const QString script = dir.filePath(QStringLiteral("editor.sh"));
  std::ofstream(script.toStdString()) << "#!/bin/sh\nsleep 0.2\ncp '" << prepared.toStdString()
                                      << "' \"$1.tmp\" && mv \"$1.tmp\" \"$1\"\n";
  ASSERT_TRUE(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeUser));

  const std::size_t states = engine().history().size();
  ASSERT_TRUE(workspace.editInExternalEditor(script));
  EXPECT_TRUE(QFile::exists(workspace.externalEditor().fileFor(engine())));
  EXPECT_TRUE(QTest::qWaitFor([&] { return engine().content().layers.size() == 2; }, 10000));
  EXPECT_EQ(engine().history().size(), states + 1);
  EXPECT_EQ(engine().history().current().name, "Edit in External Editor");
  EXPECT_EQ(doc.Name(), "Build Menu");
  EXPECT_EQ(settings.value(QStringLiteral("Workspace/ExternalEditor")).toString(), script);
}

TEST_F(WorkspaceTest, ClosingAModifiedDocumentAsksAndCancelKeepsItOpen) {
  QStringList asked;
  QMessageBox::StandardButton answer = QMessageBox::Cancel;
  workspace.host().savePrompt = [&](const QString& text) {
    asked << text;
    return answer;
  };
  EXPECT_FALSE(workspace.closeActive());
  EXPECT_EQ(asked, QStringList{QStringLiteral("Save changes to the document \"Build Menu\" before closing?")});
  EXPECT_EQ(app.Documents().Count(), 1);
  EXPECT_EQ(workspace.tabs().count(), 1);

  answer = QMessageBox::Discard;
  EXPECT_TRUE(workspace.closeActive());
  EXPECT_EQ(app.Documents().Count(), 0);
  EXPECT_EQ(workspace.tabs().count(), 0);
}

// The program's real save dialog opens in the folder last used, proposing the name as a Photoshop
// file; a typed name is given the .psd ending; the next dialog starts where this one ended.
TEST_F(WorkspaceTest, ASaveWithDialogsWritesTheChosenFileAndACancelWritesNothing) {
  settings.setValue(QStringLiteral("Workspace/LastFolder"), dir.path());
  QString proposed;
  const auto answer = [&proposed](const QString& typed) {  // nothing typed: a cancel
    quillary_test::answerNextDialog([&proposed, typed](QDialog& dialog) {
      auto& files = dynamic_cast<QFileDialog&>(dialog);
      proposed = files.selectedFiles().value(0);
      if (typed.isEmpty()) return dialog.reject();
      files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
      static_cast<QDialog&>(files).accept();  // as the Save button does
    });
  };
  answer({});
  EXPECT_THROW(photoshop::SaveAsPSD(app, "Final Menu"), photoshop::AutomationError);
  EXPECT_EQ(proposed, dir.filePath(QStringLiteral("Final Menu.psd")));
  EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.psd")}).isEmpty());

  const QString sub = dir.filePath(QStringLiteral("menus"));
  QDir().mkpath(sub);
  answer(sub + QStringLiteral("/final"));
  photoshop::SaveAsPSD(app, "Final Menu");
  EXPECT_EQ(formats::readPsd((sub + QStringLiteral("/final.psd")).toStdString()).content.layers.size(), 3u);
  answer({});
  EXPECT_THROW(photoshop::SaveAsPSD(app, "Final Menu"), photoshop::AutomationError);
  EXPECT_EQ(proposed, sub + QStringLiteral("/Final Menu.psd"));
}

TEST_F(WorkspaceTest, SaveAsAndExportWriteTheirFilesAndOpeningOneAddsATabButABadFileIsRefused) {
  const QString psd = dir.filePath(QStringLiteral("menu.psd"));
  ASSERT_TRUE(workspace.saveTo(psd));
  EXPECT_EQ(doc.Name(), "menu.psd");
  EXPECT_TRUE(doc.Saved());
  EXPECT_EQ(workspace.tabs().tabText(0), QStringLiteral("menu.psd"));

  for (const bool activeLayerOnly : {false, true}) {  // the composite over white, or the layer "Face" alone
    const QString png = dir.filePath(QStringLiteral("menu.png"));
    ASSERT_TRUE(workspace.exportPng(png, activeLayerOnly));
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(120, 80));
    EXPECT_EQ(image.pixelColor(15, 15), QColor(200, 0, 0));
    EXPECT_EQ(image.pixelColor(100, 70), activeLayerOnly ? QColor(0, 0, 0, 0) : QColor(Qt::white));
  }

  const QString copy = dir.filePath(QStringLiteral("copy.psd"));
  ASSERT_TRUE(QFile::copy(psd, copy));
  ASSERT_TRUE(workspace.openFile(copy));
  EXPECT_EQ(workspace.tabs().count(), 2);
  EXPECT_EQ(workspace.tabs().tabText(1), QStringLiteral("copy.psd"));
  const QString bad = dir.filePath(QStringLiteral("bad.psd"));
  std::ofstream(bad.toStdString()) << "8BPS not really";
  EXPECT_FALSE(workspace.openFile(bad));
  EXPECT_EQ(workspace.tabs().count(), 2);
}
