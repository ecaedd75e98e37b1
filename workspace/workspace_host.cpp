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
    const QFileInfo proposal(proposedPath);
    QFileDialog dialog(window_, QStringLiteral("Save As"), proposal.absolutePath());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("Photoshop documents (*.psd *.PSD)"));
    dialog.setDefaultSuffix(QStringLiteral("psd"));  // "menu" is saved as "menu.psd"
    dialog.selectFile(proposal.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
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
  // A proposal with a folder starts there; a bare name starts in the folder last used.
  QString proposal = QString::fromStdString(proposedName);
  if (!proposal.endsWith(QStringLiteral(".psd"), Qt::CaseInsensitive)) proposal += QStringLiteral(".psd");
  if (!proposal.contains(QLatin1Char('/'))) proposal = lastFolder() + QLatin1Char('/') + proposal;
  const QString chosen = saveDialog(QFileInfo(proposal).absoluteFilePath());
  if (chosen.isEmpty()) return std::nullopt;
  rememberFolder(chosen);
  return chosen.toStdString();
}

engine::SaveChangesAnswer WorkspaceHost::askSaveChanges(const std::string& documentName) {
  const QString text =
      QStringLiteral("Save changes to the document \"%1\" before closing?").arg(QString::fromStdString(documentName));
  switch (savePrompt(text)) {
    case QMessageBox::Save: return engine::SaveChangesAnswer::Save;
    case QMessageBox::Discard: return engine::SaveChangesAnswer::DontSave;
    default: return engine::SaveChangesAnswer::Cancel;
  }
}

}  // namespace workspace
