#include "app/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace app {

std::string ProgramFolderFor(const std::string& executableDir) {
  const QDir exe(QString::fromStdString(executableDir));
  if (exe.exists(QStringLiteral("Resources"))) return exe.absolutePath().toStdString();
  // Installed: <prefix>/<bindir>/quillary with the data in <prefix>/<datadir>/quillary.
  const QString bindir = QStringLiteral(QUILLARY_INSTALL_BINDIR);
  const QString datadir = QStringLiteral(QUILLARY_INSTALL_DATADIR);
  QString prefix = exe.absolutePath();
  if (QDir::isRelativePath(bindir) && prefix.endsWith('/' + QDir::cleanPath(bindir))) {
    prefix.chop(QDir::cleanPath(bindir).size() + 1);
    const QString data = QDir::isRelativePath(datadir) ? prefix + '/' + datadir : datadir;
    const QFileInfo installed(data + QStringLiteral("/quillary"));
    if (installed.isDir()) return QDir::cleanPath(installed.absoluteFilePath()).toStdString();
  }
  return exe.absolutePath().toStdString();
}

std::string ProgramFolder() { return ProgramFolderFor(QCoreApplication::applicationDirPath().toStdString()); }

}  // namespace app
