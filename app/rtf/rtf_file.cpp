#include "app/rtf/rtf_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "app/rtf/rtf_reader.h"
#include "app/rtf/rtf_writer.h"
#include "app/rtf/text_document_bridge.h"

namespace rtf {

FileStatus loadRtfFile(const QString& path, QTextDocument& document) {
  const QFileInfo info(path);
  if (!info.exists()) return {kFileNotFound, QStringLiteral("File not found: %1").arg(path)};
  if (info.size() > kMaxRtfFileSize) return {kFileTooLarge, QStringLiteral("The file is too large to show: %1").arg(path)};
  QFile file(path);
  if (info.isDir() || !file.open(QIODevice::ReadOnly))
    return {kFileAccessError, QStringLiteral("Path/File access error: %1").arg(path)};
  const QByteArray data = file.read(kMaxRtfFileSize + 1);
  if (data.size() > kMaxRtfFileSize) return {kFileTooLarge, QStringLiteral("The file is too large to show: %1").arg(path)};
  const ReadResult read = readRtf(data);
  // Other damage leaves a readable text; skipped groups could hold all of it, and an empty or
  // partial pane without a word would look like instructions.
  if (read.tooDeep)
    return {kInvalidFileFormat, QStringLiteral("Invalid file format: the groups of %1 are nested more than %2 deep")
                                    .arg(path)
                                    .arg(kMaxGroupDepth)};
  toTextDocument(read.text, document);
  return {};
}

FileStatus saveRtfFile(const QString& path, const QTextDocument& document) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {kFileAccessError, QStringLiteral("Path/File access error: %1").arg(path)};
  const QByteArray data = writeRtf(fromTextDocument(document));
  if (file.write(data) != data.size() || !file.commit())
    return {kFileAccessError, QStringLiteral("Path/File access error: %1").arg(path)};
  return {};
}

}  // namespace rtf
