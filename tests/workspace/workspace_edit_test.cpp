// Editing in the workspace: moving by drag and by keys, the pending transform that makes the
// automation busy, and rewinding the history.

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/window/form1_window.h"
#include "workspace/history_panel.h"
#include "workspace_fixture.h"

using workspace_test::WorkspaceTest;

namespace {

engine::Rect shifted(engine::Rect r, int dx, int dy) { return r.translated(dx, dy); }

}  // namespace

TEST_F(WorkspaceTest, ADragMovesTheActiveLayerWithItsLinkedLayersAsOneHistoryState) {
  showWorkspace();
  canvas().actualPixels();
  const engine::Rect faceBefore = node(face).pixels.bounds(), labelBefore = node(label).pixels.bounds();
  const std::size_t states = engine().history().size();
  const QPoint start = canvas().toWidget(QPointF(20, 20)).toPoint();
  QTest::mousePress(&canvas(), Qt::LeftButton, {}, start);
  for (int step = 1; step <= 5; ++step) QTest::mouseMove(&canvas(), start + QPoint(step * 3, step * 2));
  QTest::mouseRelease(&canvas(), Qt::LeftButton, {}, start + QPoint(15, 10));
  EXPECT_EQ(node(face).pixels.bounds(), shifted(faceBefore, 15, 10));
  EXPECT_EQ(node(label).pixels.bounds(), shifted(labelBefore, 15, 10));
  EXPECT_EQ(engine().history().size(), states + 1);
  EXPECT_EQ(engine().history().current().name, "Move");
}

struct Nudge {
  const char* name;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  int dx, dy;
};

void PrintTo(const Nudge& c, std::ostream* os) { *os << c.name; }

class NudgeTest : public WorkspaceTest, public ::testing::WithParamInterface<Nudge> {};

TEST_P(NudgeTest, ArrowKeysMoveByOnePixelAndShiftByTen) {
  const Nudge& n = GetParam();
  const engine::Rect before = node(label).pixels.bounds();
  QTest::keyClick(&canvas(), n.key, n.modifiers);
  EXPECT_EQ(node(label).pixels.bounds(), shifted(before, n.dx, n.dy));
}

INSTANTIATE_TEST_SUITE_P(Keys, NudgeTest,
                         ::testing::Values(Nudge{"Left", Qt::Key_Left, {}, -1, 0}, Nudge{"Down", Qt::Key_Down, {}, 0, 1},
                                           Nudge{"ShiftRight", Qt::Key_Right, Qt::ShiftModifier, 10, 0},
                                           Nudge{"ShiftUp", Qt::Key_Up, Qt::ShiftModifier, 0, -10}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(WorkspaceTest, APendingTransformMakesAutomationBusyUntilEnterWhileTheMessageWaits) {
  showWorkspace();
  photoshop::Layer faceLayer = app.layerFor(doc.engineDocument(), face);
  ASSERT_TRUE(canvas().beginTransform());
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
  const engine::Rect before = node(face).pixels.bounds();
  EXPECT_NO_THROW(faceLayer.Translate(1, 0));
  EXPECT_EQ(node(face).pixels.bounds(), shifted(before, 1, 0));
}

TEST_F(WorkspaceTest, TheTransformHandlesScaleTheLayerAndEscapeLeavesItAsItWas) {
  showWorkspace();
  canvas().actualPixels();
  ASSERT_TRUE(canvas().beginTransform());
  // Drag the bottom-right handle 30 pixels right and 20 down: 30x20 becomes 60x40.
  const QPoint corner = canvas().toWidget(QPointF(40, 30)).toPoint();
  QTest::mousePress(&canvas(), Qt::LeftButton, {}, corner);
  QTest::mouseMove(&canvas(), corner + QPoint(30, 20));
  QTest::mouseRelease(&canvas(), Qt::LeftButton, {}, corner + QPoint(30, 20));
  const engine::Rect before = node(face).pixels.bounds();
  EXPECT_EQ(node(face).pixels.bounds(), before) << "nothing changes before Enter";
  QTest::keyClick(&canvas(), Qt::Key_Return);
  EXPECT_EQ(node(face).pixels.bounds(), (engine::Rect{10, 10, 70, 50}));
  EXPECT_EQ(engine().history().current().name, "Free Transform");

  ASSERT_TRUE(canvas().beginTransform());
  QTest::keyClick(&canvas(), Qt::Key_Escape);
  EXPECT_FALSE(app.engine().pendingEdit);
  EXPECT_EQ(node(face).pixels.bounds(), (engine::Rect{10, 10, 70, 50}));
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
  EXPECT_EQ(node(face).pixels.bounds(), shifted(moved, 0, -5));
  EXPECT_EQ(history.currentRow(), 2);
}
