#include "color_table/color_table_ctrl.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QSignalSpy>
#include <memory>

#include "widget_test_environment.h"

inline void PrintTo(const QVariant& value, std::ostream* os) { *os << value.toString().toStdString(); }

namespace {

using color_table::CellSizeForWidth;
using color_table::ColorTableCtrl;

// The seven values of an event: Button, Shift, X, Y, CX, CY, CT.
QList<QVariant> values(int button, int shift, float x, float y, int cx, int cy, int ct) {
  return {QVariant::fromValue(qint16(button)), QVariant::fromValue(qint16(shift)), x, y,
          QVariant::fromValue(qint16(cx)),     QVariant::fromValue(qint16(cy)),    QVariant::fromValue(qint16(ct))};
}

class ColorTableCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = std::make_unique<QWidget>();
    host_->resize(400, 400);
    ctrl_ = new ColorTableCtrl(host_.get());
    ctrl_->SetDotsPerInch(96);
    host_->show();
    ctrl_->resize(60, 60);  // 900 twips wide; at 96 dpi a pixel is 15 twips
  }

  void send(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
            Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, at, ctrl_->mapToGlobal(at), button, held, modifiers);
    QCoreApplication::sendEvent(ctrl_, &event);
  }
  void press(int cell, Qt::KeyboardModifiers modifiers = {}, Qt::MouseButton button = Qt::LeftButton) {
    send(QEvent::MouseButtonPress, centre(cell), button, button, modifiers);
  }
  void drag(QPointF to, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
    send(QEvent::MouseMove, to, Qt::NoButton, held, modifiers);
  }
  QPointF centre(int cell) const { return QRectF(ctrl_->CellRect(cell)).center(); }

  QList<int> marked() const {
    QList<int> cells;
    for (int i = 0; i < color_table::kCellCount; ++i)
      if (ctrl_->CellColor(i) == QColor(90, 190, 210)) cells << i;
    return cells;
  }

  std::unique_ptr<QWidget> host_;
  ColorTableCtrl* ctrl_ = nullptr;
};

TEST(ColorTableLayout, CellIsAQuarterWidthSnappedToWholePixels) {
  EXPECT_EQ(CellSizeForWidth(1000), 255);
  // Seven cells must stay within a 16-bit length.
  EXPECT_EQ(CellSizeForWidth(18750), 4680);
  EXPECT_EQ(CellSizeForWidth(100000), 4680);
  EXPECT_EQ(CellSizeForWidth(-60), 0);
}

TEST_F(ColorTableCtrlTest, ResizeSnapsToFourBySevenCellsAndClearsMarks) {
  EXPECT_EQ(ctrl_->size(), QSize(60, 105));  // 900 by 1575 twips
  EXPECT_EQ(ctrl_->CellRect(27), QRect(45, 90, 15, 15));
  press(3);
  // Halves go to the even neighbour: 15.5 and 16.5 pixels both give 16.
  ctrl_->resize(62, 10);  // 930 twips
  EXPECT_EQ(ctrl_->CellSizeTwips(), 240);
  EXPECT_EQ(ctrl_->size(), QSize(64, 112));
  EXPECT_TRUE(marked().isEmpty());
  ctrl_->resize(66, 10);  // 990 twips
  EXPECT_EQ(ctrl_->size(), QSize(64, 112));
}

TEST_F(ColorTableCtrlTest, OnlyShiftAloneKeepsEarlierMarksAndPressesAreClampedIntoTheGrid) {
  QSignalSpy downs(ctrl_, &ColorTableCtrl::MouseDown);
  press(5);
  press(6, Qt::ShiftModifier, Qt::MiddleButton);
  EXPECT_EQ(marked(), (QList<int>{5, 6}));
  press(9, Qt::ControlModifier);
  EXPECT_EQ(marked(), QList<int>{9});
  press(10, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(marked(), QList<int>{10});
  ASSERT_EQ(downs.size(), 4);
  EXPECT_EQ(downs[1], values(4, 1, 562.5f, 337.5f, 2, 1, 6));
  EXPECT_EQ(downs[2], values(1, 2, 337.5f, 562.5f, 1, 2, 9));
  EXPECT_EQ(downs[3][1], QVariant::fromValue(qint16(3)));
  ctrl_->Clear();
  EXPECT_TRUE(marked().isEmpty());

  // Presses are clamped into the grid.
  send(QEvent::MouseButtonPress, QPointF(60, 105), Qt::LeftButton, Qt::LeftButton, {});  // on the far borders
  send(QEvent::MouseButtonPress, QPointF(-4, -30), Qt::LeftButton, Qt::LeftButton, {});
  // A host that holds the control taller than seven rows still gets a cell of the grid.
  ctrl_->setMinimumSize(0, 300);
  send(QEvent::MouseButtonPress, QPointF(20, 250), Qt::RightButton, Qt::RightButton, Qt::AltModifier);
  ASSERT_EQ(downs.size(), 7);
  EXPECT_EQ(downs[4], values(1, 0, 899, 1574, 3, 6, 27));
  EXPECT_EQ(downs[5], values(1, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(downs[6], values(2, 4, 300, 3750, 1, 6, 25));
  EXPECT_EQ(marked(), QList<int>{25});
}

TEST_F(ColorTableCtrlTest, OnlyLeftButtonWithShiftAloneDragsMarks) {
  QSignalSpy moves(ctrl_, &ColorTableCtrl::MouseMove);
  press(0, Qt::ShiftModifier);
  drag(centre(1), Qt::LeftButton, {});
  drag(centre(2), Qt::RightButton, Qt::ShiftModifier);
  drag(centre(3), Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier);
  drag(centre(4), Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_EQ(moves.size(), 0);
  EXPECT_EQ(marked(), QList<int>{0});

  drag(centre(5), Qt::LeftButton, Qt::ShiftModifier);
  drag(centre(5), Qt::LeftButton, Qt::ShiftModifier);    // reported again, still one mark
  drag(QPointF(200, 500), Qt::LeftButton, Qt::ShiftModifier);  // out of the control
  EXPECT_EQ(marked(), (QList<int>{0, 5, 27}));
  ASSERT_EQ(moves.size(), 3);
  EXPECT_EQ(moves[0], values(1, 1, 337.5f, 337.5f, 1, 1, 5));
  EXPECT_EQ(moves[2], values(1, 1, 899, 1574, 3, 6, 27));
}

}  // namespace
