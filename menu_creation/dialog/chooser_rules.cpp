#include "menu_creation/dialog/chooser_rules.h"

#include <QFileInfo>

namespace menu_creation {

namespace {

// The pattern "*.???": a full stop and exactly three characters at the end.
bool HasThreeLetterExtension(const QString& name) { return name.size() >= 4 && name[name.size() - 4] == u'.'; }

// What a renamed file keeps of its old name: its full stop and three-letter extension, or a
// longer extension (".jpeg") from the last full stop, or nothing for a name without one.
QString KeptExtension(const QString& FileName) {
  if (HasThreeLetterExtension(FileName)) return FileName.right(4);
  const qsizetype dot = FileName.lastIndexOf(u'.');
  return dot > 0 ? FileName.mid(dot) : QString();
}

}  // namespace

QString BackgroundThumbnailName(const QString& FileName) {
  if (FileName.isEmpty()) return FileName;
  QString name = FileName;
  return name.replace(FileName.right(3), QStringLiteral("jpg"), Qt::CaseSensitive);
}

QString TemplateThumbnailName(const QString& FileName) {
  QString name = FileName;
  return name.replace(QStringLiteral("psd"), QStringLiteral("jpg"), Qt::CaseSensitive);
}

std::optional<QString> RenamedFileName(const QString& answer, const QString& FileName) {
  if (answer.isEmpty()) return std::nullopt;
  const QString extension = KeptExtension(FileName);
  QString stem = answer;
  if (HasThreeLetterExtension(stem))
    stem.chop(4);
  else if (!extension.isEmpty() && stem.endsWith(extension, Qt::CaseInsensitive))
    stem.chop(extension.size());
  return stem + extension;
}

QString RenameRefusal(const QString& folder, const QString& newName) {
  if (newName.contains(u'/') || newName.contains(u'\\') || newName.contains(QStringLiteral("..")) ||
      newName.contains(QChar(u'\0')) || newName.startsWith(u'.')) {
    QString shown = newName;
    shown.remove(QChar(u'\0'));
    return QStringLiteral(
               "\"%1\" cannot be used as a file name.\r\n"
               "The file stays in its folder: a name may not contain \"/\", \"\\\" or \"..\" or a NUL "
               "character, nor begin with a full stop.")
        .arg(shown);
  }
  const QFileInfo target(folder + u'/' + newName);
  if (target.exists() || target.isSymLink())
    return QStringLiteral("A file named \"%1\" already exists in this folder.").arg(newName);
  return {};
}

}  // namespace menu_creation
