#include "app/rtf/rich_text.h"

namespace rtf {

void RichText::normalize() {
  for (Paragraph& paragraph : paragraphs) {
    std::vector<Run> joined;
    for (Run& run : paragraph.runs) {
      if (run.text.isEmpty()) continue;
      if (!joined.empty() && joined.back().format == run.format)
        joined.back().text += run.text;
      else
        joined.push_back(std::move(run));
    }
    paragraph.runs = std::move(joined);
  }
}

QString RichText::plainText() const {
  QString text;
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) text += '\n';
    for (const Run& run : paragraphs[i].runs) text += run.text;
  }
  return text;
}

}  // namespace rtf
