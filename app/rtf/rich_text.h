#pragma once
// The content of an instruction file as the pane shows it: paragraphs of runs of text, each
// run with its own character format. The RTF reader produces it, the writer consumes it, and
// it converts to and from a QTextDocument.

#include <QRgb>
#include <QString>
#include <optional>
#include <vector>

namespace rtf {

enum class Alignment { Left, Center, Right, Justify };

struct CharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int halfPoints = 24;            // font size in half points
  QString fontFamily;             // "" when the file names no font
  std::optional<QRgb> color;      // nothing: the automatic (window text) colour
  bool operator==(const CharFormat&) const = default;
};

struct Run {
  // May hold tabs and line separators (U+2028); paragraphs are never split inside a run.
  QString text;
  CharFormat format;
  bool operator==(const Run&) const = default;
};

struct Paragraph {
  Alignment alignment = Alignment::Left;
  std::vector<Run> runs;
  bool operator==(const Paragraph&) const = default;
};

struct RichText {
  std::vector<Paragraph> paragraphs;  // at least one once read
  bool operator==(const RichText&) const = default;

  // Adjacent runs of equal format joined, empty runs dropped.
  void normalize();
  QString plainText() const;
};

}  // namespace rtf
