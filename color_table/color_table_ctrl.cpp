#include "color_table/color_table_ctrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <array>
#include <cmath>

#include "support/twips.h"

namespace color_table {
namespace {

constexpr qint16 kLeftButton = 1;
constexpr qint16 kShiftKey = 1;

// The event masks give the first listed flag 1, the second 2 and the third 4.
template <typename Flags>
qint16 eventMask(Flags flags, std::array<typename Flags::enum_type, 3> bits) {
  qint16 mask = 0;
  for (size_t i = 0; i < bits.size(); ++i)
    if (flags.testFlag(bits[i])) mask = static_cast<qint16>(mask | (1 << i));
  return mask;
}

qint16 buttonMask(Qt::MouseButtons buttons) {
  return eventMask(buttons, {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton});
}

qint16 shiftMask(Qt::KeyboardModifiers modifiers) {
  return eventMask(modifiers, {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier});
}

}  // namespace

ColorTableCtrl::ColorTableCtrl(QWidget* parent) : QWidget(parent) {
  ColorTable_.fill(kUnmarkedColor);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  UserControl_Resize();
}

void ColorTableCtrl::Clear() {
  ColorTable_.fill(kUnmarkedColor);
  update();
}

void ColorTableCtrl::SetDotsPerInch(double dotsPerInch) {
  dotsPerInch_ = dotsPerInch;
  UserControl_Resize();
}

double ColorTableCtrl::DotsPerInch() const { return dotsPerInch_ > 0 ? dotsPerInch_ : logicalDpiX(); }

QColor ColorTableCtrl::CellColor(int index) const {
  return index >= 0 && index < kCellCount ? ColorTable_[static_cast<size_t>(index)] : QColor();
}

QRect ColorTableCtrl::CellRect(int index) const {
  if (index < 0 || index >= kCellCount) return {};
  const int left = cellSize_ * (index % kColumns);
  const int top = cellSize_ * (index / kColumns);
  const QPoint topLeft(TwipsToPixels(left), TwipsToPixels(top));
  const QPoint bottomRight(TwipsToPixels(left + cellSize_), TwipsToPixels(top + cellSize_));
  return QRect(topLeft, bottomRight - QPoint(1, 1));
}

QSize ColorTableCtrl::sizeHint() const {
  return {TwipsToPixels(kColumns * cellSize_), TwipsToPixels(kRows * cellSize_)};
}

int ColorTableCtrl::TwipsToPixels(int twips) const {
  return static_cast<int>(std::lround(support::twipsToPixels(twips, DotsPerInch())));
}

void ColorTableCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  for (int i = 0; i < kCellCount; ++i) {
    const QRect cell = CellRect(i);
    painter.fillRect(cell, ColorTable_[static_cast<size_t>(i)]);
    // An outline one pixel larger than the cell, so neighbours share their border line.
    painter.drawRect(cell);
  }
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorTableCtrl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UserControl_Resize();
}

void ColorTableCtrl::UserControl_Resize() {
  // Snapping the size below resizes the control again; that inner pass would compute the same.
  if (layingOut_) return;
  layingOut_ = true;
  const auto widthTwips = static_cast<int>(std::lround(support::pixelsToTwips(width(), DotsPerInch())));
  cellSize_ = CellSizeForWidth(widthTwips);
  resize(sizeHint());
  updateGeometry();
  layingOut_ = false;
  Clear();
}

void ColorTableCtrl::LocatePointer(const QMouseEvent& event, float& X, float& Y, Cell& cell) const {
  const double dpi = DotsPerInch();
  Y = ClampToExtent(static_cast<float>(support::pixelsToTwips(event.position().y(), dpi)),
                    static_cast<float>(support::pixelsToTwips(height(), dpi)));
  X = ClampToExtent(static_cast<float>(support::pixelsToTwips(event.position().x(), dpi)),
                    static_cast<float>(support::pixelsToTwips(width(), dpi)));
  cell = CellAt(X, Y, cellSize_);
}

void ColorTableCtrl::MarkCell(int index) {
  ColorTable_[static_cast<size_t>(index)] = kMarkedColor;
  update(CellRect(index));
}

void ColorTableCtrl::mousePressEvent(QMouseEvent* event) {
  const qint16 Button = buttonMask(event->button());
  const qint16 Shift = shiftMask(event->modifiers());
  // Shift alone extends the marked set; any other press starts a new one.
  if (Shift != kShiftKey) Clear();
  float X = 0;
  float Y = 0;
  Cell cell;
  LocatePointer(*event, X, Y, cell);
  MarkCell(cell.CT);
  emit MouseDown(Button, Shift, X, Y, cell.CX, cell.CY, cell.CT);
}

void ColorTableCtrl::mouseMoveEvent(QMouseEvent* event) {
  const qint16 Button = buttonMask(event->buttons());
  const qint16 Shift = shiftMask(event->modifiers());
  float X = 0;
  float Y = 0;
  Cell cell;
  LocatePointer(*event, X, Y, cell);
  if (Button != kLeftButton || Shift != kShiftKey) return;
  MarkCell(cell.CT);
  emit MouseMove(Button, Shift, X, Y, cell.CX, cell.CY, cell.CT);
}

}  // namespace color_table
