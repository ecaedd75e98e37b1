#pragma once
// The three 16 x 16 node pictures of the file tree, drawn in code on the mask colour, which
// becomes transparent.

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QString>

namespace file_tree {

inline const QString kClosedImage = QStringLiteral("Closed");
inline const QString kOpenedImage = QStringLiteral("Opened");
inline const QString kFileImage = QStringLiteral("File");
inline const QColor kImageMaskColor{192, 192, 192};

// "Closed" (closed folder), "Opened" (open folder) and "File", keyed by those names.
QHash<QString, QIcon> MakeTreeImages();

}  // namespace file_tree
