#include "app/rtf/text_document_bridge.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace rtf {

namespace {

QTextCharFormat toCharFormat(const CharFormat& format) {
  QTextCharFormat f;
  f.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(format.italic);
  f.setFontUnderline(format.underline);
  f.setFontPointSize(format.halfPoints / 2.0);
  if (!format.fontFamily.isEmpty()) f.setFontFamilies(QStringList{format.fontFamily});
  if (format.color) f.setForeground(QColor::fromRgb(*format.color));
  return f;
}

CharFormat fromCharFormat(const QTextCharFormat& f) {
  CharFormat format;
  format.bold = f.fontWeight() > QFont::Medium;
  format.italic = f.fontItalic();
  format.underline = f.fontUnderline();
  const double points = f.fontPointSize();
  format.halfPoints = points > 0 ? int(std::lround(points * 2)) : 24;
  const QStringList families = f.fontFamilies().toStringList();
  if (!families.isEmpty()) format.fontFamily = families.first();
  if (f.foreground().style() != Qt::NoBrush) format.color = f.foreground().color().rgb();
  return format;
}

Qt::Alignment toQtAlignment(Alignment alignment) {
  switch (alignment) {
    case Alignment::Center: return Qt::AlignHCenter;
    case Alignment::Right: return Qt::AlignRight;
    case Alignment::Justify: return Qt::AlignJustify;
    case Alignment::Left: break;
  }
  return Qt::AlignLeft;
}

Alignment fromQtAlignment(Qt::Alignment alignment) {
  if (alignment & Qt::AlignHCenter) return Alignment::Center;
  if (alignment & (Qt::AlignRight | Qt::AlignTrailing)) return Alignment::Right;
  if (alignment & Qt::AlignJustify) return Alignment::Justify;
  return Alignment::Left;
}

}  // namespace

void toTextDocument(const RichText& text, QTextDocument& document) {
  document.clear();
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  for (std::size_t i = 0; i < text.paragraphs.size(); ++i) {
    const Paragraph& paragraph = text.paragraphs[i];
    QTextBlockFormat block;
    block.setAlignment(toQtAlignment(paragraph.alignment));
    if (i == 0)
      cursor.setBlockFormat(block);
    else
      cursor.insertBlock(block);
    for (const Run& run : paragraph.runs) cursor.insertText(run.text, toCharFormat(run.format));
  }
  cursor.endEditBlock();
  document.setModified(false);
}

RichText fromTextDocument(const QTextDocument& document) {
  RichText text;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    Paragraph paragraph;
    paragraph.alignment = fromQtAlignment(block.blockFormat().alignment());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.isValid()) paragraph.runs.push_back({fragment.text(), fromCharFormat(fragment.charFormat())});
    }
    text.paragraphs.push_back(std::move(paragraph));
  }
  text.normalize();
  return text;
}

}  // namespace rtf
