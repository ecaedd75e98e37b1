#include "workspace/workspace_host.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace workspace {

namespace {
const char* const kLastFolderKey = "Workspace/LastFolder";
}

WorkspaceHost::WorkspaceHost(QWidget* window, QSettings& settings) : window_(window), settings_(settings) {
  saveDialog = [this](const QString& proposedPath) {
    return QFileDialog::getSaveFileName(window_, QStringLiteral("Save As"), proposedPath,
                                        QStringLiteral("Photoshop documents (*.psd)"));
  };
  savePrompt = [this](const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillary"), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window_);
    box.setDefaultButton(QMessageBox::Save);
    box.setWindowModality(Qt::WindowModal);
    return QMessageBox::StandardButton(box.exec());
  };
}

QString WorkspaceHost::lastFolder() const {
  const QString stored = settings_.value(QString::fromLatin1(kLastFolderKey)).toString();
  if (!stored.isEmpty() && QFileInfo(stored).isDir()) return stored;
  return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void WorkspaceHost::rememberFolder(const QString& filePath) {
  settings_.setValue(QString::fromLatin1(kLastFolderKey), QFileInfo(filePath).absolutePath());
}

std::optional<std::string> WorkspaceHost::chooseSavePath(const std::string& proposedName) {
  QString name = QFileInfo(QString::fromStdString(proposedName)).fileName();
  if (!name.endsWith(QStringLiteral(".psd"), Qt::CaseInsensitive)) name += QStringLiteral(".psd");
  const QString chosen = saveDialog(lastFolder() + QLatin1Char('/') + name);
  if (chosen.isEmpty()) return std::nullopt;
  rememberFolder(chosen);
  return chosen.toStdString();
}

engine::SaveChangesAnswer WorkspaceHost::askSaveChanges(const std::string& documentName) {
  const QString text = QStringLiteral("Save changes to %1 ?").arg(QString::fromStdString(documentName));
  switch (savePrompt(text)) {
    case QMessageBox::Save: return engine::SaveChangesAnswer::Save;
    case QMessageBox::Discard: return engine::SaveChangesAnswer::DontSave;
    default: return engine::SaveChangesAnswer::Cancel;
  }
}

}  // namespace workspace
