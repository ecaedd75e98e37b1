#include "file_tree/tree_images.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <functional>

namespace file_tree {
namespace {

constexpr int kSide = 16;
const QColor kOutline{96, 72, 0};
const QColor kFolderBack{224, 176, 48};
const QColor kFolderFront{248, 216, 104};
const QColor kPaper{255, 255, 255};
const QColor kPaperEdge{64, 64, 64};
const QColor kPaperFold{208, 208, 208};

QIcon drawImage(const std::function<void(QPainter&)>& draw) {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  image.fill(kImageMaskColor);
  {
    QPainter painter(&image);
    draw(painter);
  }
  QImage masked = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      if (masked.pixelColor(x, y) == kImageMaskColor) masked.setPixelColor(x, y, Qt::transparent);
  return QIcon(QPixmap::fromImage(masked));
}

void drawClosedFolder(QPainter& painter) {
  painter.setPen(kOutline);
  painter.setBrush(kFolderBack);
  painter.drawPolygon(QPolygon({{1, 3}, {6, 3}, {7, 4}, {14, 4}, {14, 13}, {1, 13}}));
  painter.setBrush(kFolderFront);
  painter.drawRect(1, 6, 13, 7);
}

void drawOpenedFolder(QPainter& painter) {
  painter.setPen(kOutline);
  painter.setBrush(kFolderBack);
  painter.drawPolygon(QPolygon({{1, 3}, {6, 3}, {7, 4}, {13, 4}, {13, 6}, {1, 13}}));
  painter.setBrush(kFolderFront);
  // The front panel leans back, showing the folder open.
  painter.drawPolygon(QPolygon({{4, 7}, {15, 7}, {12, 13}, {1, 13}}));
}

void drawFile(QPainter& painter) {
  painter.setPen(kPaperEdge);
  painter.setBrush(kPaper);
  painter.drawPolygon(QPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}}));
  painter.setBrush(kPaperFold);
  painter.drawPolygon(QPolygon({{10, 1}, {10, 4}, {13, 4}}));
  painter.setPen(kPaperFold);
  for (int y = 6; y <= 12; y += 2) painter.drawLine(5, y, 11, y);
}

}  // namespace

QHash<QString, QIcon> MakeTreeImages() {
  return {{kClosedImage, drawImage(drawClosedFolder)},
          {kOpenedImage, drawImage(drawOpenedFolder)},
          {kFileImage, drawImage(drawFile)}};
}

}  // namespace file_tree
