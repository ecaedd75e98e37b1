#pragma once
// Rich text into a QTextDocument for the instruction pane, and the pane's content back.

#include "app/rtf/rich_text.h"

class QTextDocument;

namespace rtf {

// Replaces the document's content.
void toTextDocument(const RichText& text, QTextDocument& document);
RichText fromTextDocument(const QTextDocument& document);

}  // namespace rtf
