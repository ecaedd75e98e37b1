// Any bytes read as RTF: the reader never fails, and what the pane would save from the result
// reads back as the same content.

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

#include "app/rtf/rtf_reader.h"
#include "app/rtf/rtf_writer.h"
#include "app/rtf/text_document_bridge.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const rtf::ReadResult first = rtf::readRtf(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
  QTextDocument document;
  rtf::toTextDocument(first.text, document);
  const rtf::RichText shown = rtf::fromTextDocument(document);
  const rtf::ReadResult saved = rtf::readRtf(rtf::writeRtf(shown));
  if (!saved.clean || !(saved.text == shown)) std::abort();
  return 0;
}
