#pragma once
// Stands for the 4 by 7 grid of the "Color Table" layer: the user marks cells with the mouse,
// and every marked cell is reported so the main window can select it in the document. Marks
// live only in the cells' colours.

#include <QColor>
#include <QWidget>
#include <array>

#include "color_table/color_table_layout.h"

class QMouseEvent;

namespace color_table {

class ColorTableCtrl : public QWidget {
  Q_OBJECT

 public:
  static inline const QColor kUnmarkedColor{255, 255, 255};
  static inline const QColor kMarkedColor{90, 190, 210};

  explicit ColorTableCtrl(QWidget* parent = nullptr);

  // Paints every cell white.
  void Clear();

  // Dots per inch used to convert pixels to twips; 0 (the default) follows the screen.
  void SetDotsPerInch(double dotsPerInch);
  double DotsPerInch() const;

  qint16 CellSizeTwips() const { return cellSize_; }
  QColor CellColor(int index) const;
  QRect CellRect(int index) const;

  QSize sizeHint() const override;

 signals:
  // Button: 1 left, 2 right, 4 middle. Shift: 1 Shift, 2 Ctrl, 4 Alt. X, Y: clamped pointer
  // position in twips. CX: column 0-3, CY: row 0-6, CT: cell index CY * 4 + CX.
  void MouseDown(qint16 Button, qint16 Shift, float X, float Y, qint16 CX, qint16 CY, qint16 CT);
  void MouseMove(qint16 Button, qint16 Shift, float X, float Y, qint16 CX, qint16 CY, qint16 CT);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void UserControl_Resize();
  // Clamps the event position (Y first, then X) and works out the cell under it.
  void LocatePointer(const QMouseEvent& event, float& X, float& Y, Cell& cell) const;
  void MarkCell(int index);
  int TwipsToPixels(int twips) const;

  std::array<QColor, kCellCount> ColorTable_;
  qint16 cellSize_ = 0;
  double dotsPerInch_ = 0;
  bool layingOut_ = false;
};

}  // namespace color_table
