#pragma once
// Loading an instruction file into the pane's document and saving the pane back, with the
// error numbers the program reports: 53 file not found, 75 path/file access error (the file
// cannot be opened or written), 7 a file too large to show, 321 a file whose text cannot be
// shown.

#include <QString>

class QTextDocument;

namespace rtf {

inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAccessError = 75;
inline constexpr int kFileTooLarge = 7;
// A file whose text could not be shown as it stands: groups nested beyond any word processor's.
inline constexpr int kInvalidFileFormat = 321;
// Instruction files are a few kilobytes; anything this large is not one.
inline constexpr qint64 kMaxRtfFileSize = 16 * 1024 * 1024;

struct FileStatus {
  int number = 0;  // 0: success
  QString description;
};

// On failure the document is left as it was.
FileStatus loadRtfFile(const QString& path, QTextDocument& document);
// Writes a temporary file beside the target and renames it over the target.
FileStatus saveRtfFile(const QString& path, const QTextDocument& document);

}  // namespace rtf
