#include "app/rtf/rtf_writer.h"

#include <QColor>
#include <algorithm>

#include "app/rtf/rtf_reader.h"

namespace rtf {

namespace {

// The fonts and colours in order of first use.
struct Tables {
  std::vector<QString> fonts;
  std::vector<QRgb> colors;

  explicit Tables(const RichText& text) {
    for (const Paragraph& paragraph : text.paragraphs)
      for (const Run& run : paragraph.runs) {
        if (std::find(fonts.begin(), fonts.end(), run.format.fontFamily) == fonts.end())
          fonts.push_back(run.format.fontFamily);
        if (run.format.color && std::find(colors.begin(), colors.end(), *run.format.color) == colors.end())
          colors.push_back(*run.format.color);
      }
  }
  int fontIndex(const QString& family) const {
    return int(std::find(fonts.begin(), fonts.end(), family) - fonts.begin());
  }
  // 0 is the automatic colour; the table's entries count from 1.
  int colorIndex(const std::optional<QRgb>& color) const {
    if (!color) return 0;
    return int(std::find(colors.begin(), colors.end(), *color) - colors.begin()) + 1;
  }
};

void appendNumber(QByteArray& out, const char* word, long long value) {
  out += word;
  out += QByteArray::number(value);
}

// A font name ends at the ';' of its entry, so that one is written as an escape, as are braces,
// backslashes and everything outside printable ASCII that code page 1252 has.
void appendFontName(QByteArray& out, const QString& name) {
  for (QChar ch : name) {
    const int byte = toCp1252(ch);
    if (ch == u'\\' || ch == u'{' || ch == u'}') {
      out += '\\';
      out += char(byte);
    } else if (byte >= 0x20 && byte < 0x7F && ch != u';') {
      out += char(byte);
    } else if (byte >= 0) {
      out += "\\'";
      out += QByteArray::number(byte, 16).rightJustified(2, '0');
    }
  }
}

void appendHeader(QByteArray& out, const Tables& tables) {
  out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
  for (std::size_t i = 0; i < tables.fonts.size(); ++i) {
    appendNumber(out, "{\\f", long(i));
    out += "\\fnil ";
    appendFontName(out, tables.fonts[i]);
    out += ";}";
  }
  if (tables.fonts.empty()) out += "{\\f0\\fnil ;}";
  out += "}\n{\\colortbl ;";
  for (QRgb color : tables.colors) {
    appendNumber(out, "\\red", qRed(color));
    appendNumber(out, "\\green", qGreen(color));
    appendNumber(out, "\\blue", qBlue(color));
    out += ';';
  }
  out += "}\n";
}

const char* alignmentWord(Alignment alignment) {
  switch (alignment) {
    case Alignment::Center: return "\\qc";
    case Alignment::Right: return "\\qr";
    case Alignment::Justify: return "\\qj";
    case Alignment::Left: break;
  }
  return "\\ql";
}

void appendFormat(QByteArray& out, const CharFormat& format, const Tables& tables) {
  appendNumber(out, "\\plain\\f", tables.fontIndex(format.fontFamily));
  appendNumber(out, "\\fs", format.halfPoints);
  if (format.bold) out += "\\b";
  if (format.italic) out += "\\i";
  if (format.underline) out += "\\ul";
  appendNumber(out, "\\cf", tables.colorIndex(format.color));
  out += ' ';
}

void appendText(QByteArray& out, const QString& text) {
  for (QChar ch : text) {
    const char16_t u = ch.unicode();
    if (u == '\\' || u == '{' || u == '}') {
      out += '\\';
      out += char(u);
    } else if (u == '\t') {
      out += "\\tab ";
    } else if (ch == QChar::LineSeparator) {
      out += "\\line ";
    } else if (u == 0x00A0) {
      out += "\\~";
    } else if (u < 0x20) {
      continue;  // other control characters have no place in a paragraph
    } else if (u < 0x7F) {
      out += char(u);
    } else if (const int byte = toCp1252(ch); byte >= 0x80) {
      out += "\\'";
      out += QByteArray::number(byte, 16).rightJustified(2, '0');
    } else {
      // Signed 16-bit, as RTF numbers are; "?" is the fallback readers without Unicode show.
      appendNumber(out, "\\u", u >= 0x8000 ? long(u) - 65536 : long(u));
      out += '?';
    }
  }
}

}  // namespace

QByteArray writeRtf(const RichText& text) {
  const Tables tables(text);
  QByteArray out;
  appendHeader(out, tables);
  for (std::size_t i = 0; i < text.paragraphs.size(); ++i) {
    const Paragraph& paragraph = text.paragraphs[i];
    if (i > 0) out += "\\par\n";
    out += "\\pard";
    out += alignmentWord(paragraph.alignment);
    out += ' ';
    for (const Run& run : paragraph.runs) {
      appendFormat(out, run.format, tables);
      appendText(out, run.text);
    }
  }
  out += "}\n";
  return out;
}

}  // namespace rtf
