#pragma once
// Reads rich text (RTF): paragraphs with their alignment, bold, italic, underline, font size
// and face, colours, \par \line \tab, \'hh and \u escapes; destinations it does not show
// (pictures, style sheets, document information, anything marked \*) are skipped. Malformed
// input is read as far as it makes sense: unbalanced groups, cut escapes and overlong words
// never stop the reader, and group nesting beyond a fixed depth is skipped. Input that is not
// rich text at all is taken as plain UTF-8 text.

#include <QByteArrayView>

#include "app/rtf/rich_text.h"

namespace rtf {

struct ReadResult {
  RichText text;
  bool isRtf = true;  // false: the input was read as plain text
  bool clean = true;  // false: something malformed was skipped or repaired
  bool tooDeep = false;  // groups nested beyond the fixed depth were skipped, and their text with them
};

// Groups nest no deeper than this in any rich text a word processor writes.
inline constexpr int kMaxGroupDepth = 128;

ReadResult readRtf(QByteArrayView data);

// The characters of code page 1252, in which \'hh escapes and 8-bit text are read.
QChar fromCp1252(unsigned char byte);
// The code page 1252 byte of a character, or -1 when it has none.
int toCp1252(QChar ch);

}  // namespace rtf
