#pragma once
// Captions that fit their controls (header only: the controls' libraries bring Qt Widgets). The geometry is fixed in twips, and the fonts a Linux
// desktop offers are wider than the ones the layout was drawn with: a caption too long for its
// control gets a smaller font, half a point at a time down to 6 points, rather than a cut.

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace support::screen {

inline bool captionFits(const QFont& font, const QWidget& widget, const QRect& area, int flags, const QString& text) {
  const QRect needed = QFontMetrics(font, &widget).boundingRect(area, flags, text);
  return needed.width() <= area.width() && needed.height() <= area.height();
}

inline void shrinkFontToFit(QWidget& widget, const QRect& area, int flags, const QString& text) {
  constexpr double kSmallestPoints = 6.0;
  QFont font = widget.font();
  if (text.isEmpty() || font.pointSizeF() <= 0) return;  // a font sized in pixels is left alone
  bool changed = false;
  while (!captionFits(font, widget, area, flags, text) && font.pointSizeF() - 0.5 >= kSmallestPoints) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
    changed = true;
  }
  if (changed) widget.setFont(font);
}

// Call once the label has its geometry, its font and its text.
inline void fitLabelCaption(QLabel& label) {
  const int flags = int(label.alignment()) | (label.wordWrap() ? int(Qt::TextWordWrap) : 0);
  shrinkFontToFit(label, label.contentsRect(), flags, label.text());
}

// Call once the button has its geometry, its font and its text.
inline void fitButtonCaption(QPushButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  const QRect area = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
  shrinkFontToFit(button, area, Qt::AlignCenter | Qt::TextShowMnemonic, button.text());
}

}  // namespace support::screen
