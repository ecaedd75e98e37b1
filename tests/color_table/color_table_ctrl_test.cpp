#include "color_table/color_table_ctrl.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QSignalSpy>
#include <memory>

#include "widget_test_environment.h"

namespace {

using color_table::CellSizeForWidth;
using color_table::ColorTableCtrl;

struct Report {
  int Button, Shift;
  float X, Y;
  int CX, CY, CT;
  bool operator==(const Report&) const = default;
};

Report reportFrom(const QList<QVariant>& arguments) {
  return {arguments[0].toInt(),   arguments[1].toInt(), arguments[2].toFloat(), arguments[3].toFloat(),
          arguments[4].toInt(),   arguments[5].toInt(), arguments[6].toInt()};
}

void PrintTo(const Report& r, std::ostream* os) {
  *os << "{" << r.Button << ", " << r.Shift << ", " << r.X << ", " << r.Y << ", " << r.CX << ", " << r.CY << ", "
      << r.CT << "}";
}

class ColorTableCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = std::make_unique<QWidget>();
    host_->resize(400, 400);
    ctrl_ = new ColorTableCtrl(host_.get());
    ctrl_->SetDotsPerInch(96);
    host_->show();
    ctrl_->resize(60, 60);  // 900 twips wide
  }

  // Pixel positions; at 96 dpi one pixel is 15 twips.
  void press(QPointF at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {}) {
    QMouseEvent event(QEvent::MouseButtonPress, at, ctrl_->mapToGlobal(at), button, button, modifiers);
    QCoreApplication::sendEvent(ctrl_, &event);
  }
  void move(QPointF to, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(QEvent::MouseMove, to, ctrl_->mapToGlobal(to), Qt::NoButton, buttons, modifiers);
    QCoreApplication::sendEvent(ctrl_, &event);
  }
  // Centre of a cell, in pixels.
  QPointF centreOf(int index) const { return QRectF(ctrl_->CellRect(index)).center(); }

  QList<int> marked() const {
    QList<int> cells;
    for (int i = 0; i < color_table::kCellCount; ++i)
      if (ctrl_->CellColor(i) == ColorTableCtrl::kMarkedColor) cells << i;
    return cells;
  }

  std::unique_ptr<QWidget> host_;
  ColorTableCtrl* ctrl_ = nullptr;
};

TEST(ColorTableLayout, CellIsAQuarterWidthSnappedToWholePixels) {
  EXPECT_EQ(CellSizeForWidth(900), 225);
  EXPECT_EQ(CellSizeForWidth(1000), 255);
  // Halves go to the even neighbour: 15.5 and 16.5 both give 16.
  EXPECT_EQ(CellSizeForWidth(930), 240);
  EXPECT_EQ(CellSizeForWidth(990), 240);
  EXPECT_EQ(CellSizeForWidth(1050), 270);
  // Seven cells must stay within a 16-bit length.
  EXPECT_EQ(CellSizeForWidth(18750), 4680);
  EXPECT_EQ(CellSizeForWidth(100000), 4680);
  EXPECT_EQ(CellSizeForWidth(-60), 0);
}

TEST_F(ColorTableCtrlTest, LayoutSnapsTheControlToFourBySevenCells) {
  EXPECT_EQ(ctrl_->CellSizeTwips(), 225);
  EXPECT_EQ(ctrl_->size(), QSize(60, 105));  // 900 by 1575 twips
  EXPECT_EQ(ctrl_->CellRect(0), QRect(0, 0, 15, 15));
  EXPECT_EQ(ctrl_->CellRect(27), QRect(45, 90, 15, 15));

  ctrl_->resize(62, 10);  // 930 twips
  EXPECT_EQ(ctrl_->CellSizeTwips(), 240);
  EXPECT_EQ(ctrl_->size(), QSize(64, 112));
  ctrl_->resize(66, 10);  // 990 twips
  EXPECT_EQ(ctrl_->CellSizeTwips(), 240);
  EXPECT_EQ(ctrl_->size(), QSize(64, 112));
}

TEST_F(ColorTableCtrlTest, PressOutsideIsClampedIntoTheGrid) {
  QSignalSpy downs(ctrl_, &ColorTableCtrl::MouseDown);
  press(QPointF(60, 105));  // exactly on the right and bottom border
  press(QPointF(-4, -30));
  press(QPointF(59, 0));
  ASSERT_EQ(downs.size(), 3);
  EXPECT_EQ(reportFrom(downs[0]), (Report{1, 0, 899, 1574, 3, 6, 27}));
  EXPECT_EQ(reportFrom(downs[1]), (Report{1, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(reportFrom(downs[2]), (Report{1, 0, 885, 0, 3, 0, 3}));
}

TEST_F(ColorTableCtrlTest, OnlyShiftAloneKeepsEarlierMarks) {
  QSignalSpy downs(ctrl_, &ColorTableCtrl::MouseDown);
  press(centreOf(5));
  press(centreOf(6), Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_EQ(marked(), (QList<int>{5, 6}));

  press(centreOf(9), Qt::LeftButton, Qt::ControlModifier);
  EXPECT_EQ(marked(), QList<int>{9});
  press(centreOf(10), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(marked(), QList<int>{10});
  press(centreOf(11));
  EXPECT_EQ(marked(), QList<int>{11});

  // Any button marks; the event tells which one and which keys were held.
  press(centreOf(12), Qt::RightButton, Qt::AltModifier);
  EXPECT_EQ(marked(), QList<int>{12});
  press(centreOf(13), Qt::MiddleButton, Qt::ShiftModifier);
  EXPECT_EQ(marked(), (QList<int>{12, 13}));

  ASSERT_EQ(downs.size(), 7);
  EXPECT_EQ(reportFrom(downs[2]), (Report{1, 2, 337.5f, 562.5f, 1, 2, 9}));
  EXPECT_EQ(reportFrom(downs[3]).Shift, 3);
  EXPECT_EQ(reportFrom(downs[5]).Button, 2);
  EXPECT_EQ(reportFrom(downs[5]).Shift, 4);
  EXPECT_EQ(reportFrom(downs[6]).Button, 4);
}

TEST_F(ColorTableCtrlTest, DragWithLeftButtonAndShiftMarksEveryCellPassed) {
  QSignalSpy moves(ctrl_, &ColorTableCtrl::MouseMove);
  press(centreOf(0), Qt::LeftButton, Qt::ShiftModifier);
  move(centreOf(1), Qt::LeftButton, Qt::ShiftModifier);
  move(centreOf(5), Qt::LeftButton, Qt::ShiftModifier);
  move(centreOf(5), Qt::LeftButton, Qt::ShiftModifier);  // reported again, still one mark
  move(QPointF(200, 500), Qt::LeftButton, Qt::ShiftModifier);  // dragged out of the control
  EXPECT_EQ(marked(), (QList<int>{0, 1, 5, 27}));
  ASSERT_EQ(moves.size(), 4);
  EXPECT_EQ(reportFrom(moves[1]), (Report{1, 1, 337.5f, 337.5f, 1, 1, 5}));
  EXPECT_EQ(reportFrom(moves[3]), (Report{1, 1, 899, 1574, 3, 6, 27}));
}

TEST_F(ColorTableCtrlTest, DragWithoutExactlyLeftAndShiftDoesNothing) {
  QSignalSpy moves(ctrl_, &ColorTableCtrl::MouseMove);
  press(centreOf(0));
  move(centreOf(1), Qt::LeftButton, {});
  move(centreOf(2), Qt::RightButton, Qt::ShiftModifier);
  move(centreOf(3), Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier);
  move(centreOf(4), Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier);
  move(centreOf(6), Qt::NoButton, Qt::ShiftModifier);
  EXPECT_EQ(marked(), QList<int>{0});
  EXPECT_EQ(moves.size(), 0);
}

TEST_F(ColorTableCtrlTest, ResizeAndClearRemoveAllMarks) {
  press(centreOf(3));
  press(centreOf(4), Qt::LeftButton, Qt::ShiftModifier);
  ctrl_->resize(90, 10);
  EXPECT_TRUE(marked().isEmpty());
  EXPECT_EQ(ctrl_->size(), QSize(88, 154));  // 1350 twips: cells of 330

  press(centreOf(3));
  ctrl_->Clear();
  EXPECT_TRUE(marked().isEmpty());
}

TEST_F(ColorTableCtrlTest, StretchedControlStillReportsCellsOfTheGrid) {
  // A host may hold the control taller than its seven rows; the cell stays in the grid.
  ctrl_->setMinimumSize(0, 300);
  ASSERT_EQ(ctrl_->size(), QSize(60, 300));
  QSignalSpy downs(ctrl_, &ColorTableCtrl::MouseDown);
  press(QPointF(20, 250));
  ASSERT_EQ(downs.size(), 1);
  EXPECT_EQ(reportFrom(downs[0]), (Report{1, 0, 300, 3750, 1, 6, 25}));
  EXPECT_EQ(marked(), QList<int>{25});
}

}  // namespace
