#pragma once
// The chooser's rules about file names, free of widgets: which thumbnail belongs to a file, and
// what name a rename answer gives it. Thumbnails live in one flat "Preview" folder per tree and
// are found by name alone.

#include <QString>
#include <optional>

namespace menu_creation {

// A background's thumbnail: the name with every occurrence of its last three characters
// replaced by "jpg" (case-sensitive, the whole name searched: "motif.tif" gives "mojpg.jpg").
QString BackgroundThumbnailName(const QString& FileName);
// A template's thumbnail: the name with every lower-case "psd" replaced by "jpg"; an upper-case
// extension stays ("Blue.PSD" keeps its name).
QString TemplateThumbnailName(const QString& FileName);

// The name a rename answer gives the file FileName: the answer without a three-letter
// extension of its own, followed by FileName's extension ("b.png" for "a.jpg" gives "b.jpg").
// Nothing when the answer is empty: the user cancelled.
std::optional<QString> RenamedFileName(const QString& answer, const QString& FileName);

// Why newName cannot be given to a file in `folder`: it would leave the folder, is no name the
// file system takes, would hide the file, or names a file that is already there. "" when it can.
QString RenameRefusal(const QString& folder, const QString& newName);

}  // namespace menu_creation
