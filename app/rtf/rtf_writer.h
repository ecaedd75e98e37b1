#pragma once
// Writes rich text as RTF that the reader reads back to the same content: a font table and a
// colour table of what the text uses, then each paragraph with its alignment and each run
// with its full character format. The output is 7-bit text.

#include <QByteArray>

#include "app/rtf/rich_text.h"

namespace rtf {

QByteArray writeRtf(const RichText& text);

}  // namespace rtf
