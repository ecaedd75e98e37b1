#include "app/window/app_icon.h"

#include <QPainter>
#include <QPainterPath>

namespace app::window {

QPixmap quillaryIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const double s = size / 32.0;
  // Three of the nine layers, offset like a layers palette, the top one lit.
  const QColor colors[] = {QColor(85, 0, 169), QColor(218, 0, 18), QColor(239, 253, 0)};
  for (int i = 0; i < 3; ++i) {
    QPainterPath sheet;
    const double y = (20 - 6 * i) * s;
    sheet.moveTo(16 * s, y - 6 * s);
    sheet.lineTo(30 * s, y);
    sheet.lineTo(16 * s, y + 6 * s);
    sheet.lineTo(2 * s, y);
    sheet.closeSubpath();
    painter.setPen(QPen(QColor(40, 40, 40), std::max(1.0, s)));
    painter.setBrush(colors[i]);
    painter.drawPath(sheet);
  }
  return pixmap;
}

QIcon quillaryIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(quillaryIconPixmap(size));
  return icon;
}

}  // namespace app::window
