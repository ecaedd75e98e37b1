#include "app/window/engine_host_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include "app/form_view.h"

namespace app::window {

namespace {

const QString kPsdSuffix = QStringLiteral(".psd");

// Where the save dialog starts: the proposal's own folder, or the user's documents.
QString proposedPath(const std::string& proposedName) {
  QString name = QString::fromStdString(proposedName);
  if (!name.endsWith(kPsdSuffix, Qt::CaseInsensitive)) name += kPsdSuffix;
  const QFileInfo proposal(name);
  if (name.contains(QLatin1Char('/'))) return proposal.absoluteFilePath();
  return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QLatin1Char('/') + name;
}

}  // namespace

EngineHostDialogs::EngineHostDialogs(engine::Engine& engine, QWidget* parent)
    : parent_(parent), installation_(engine, *this) {}

QString EngineHostDialogs::saveChangesQuestion(const std::string& documentName) {
  return QStringLiteral("Save changes to the document \"%1\" before closing?").arg(QString::fromStdString(documentName));
}

std::optional<std::string> EngineHostDialogs::chooseSavePath(const std::string& proposedName) {
  const QFileInfo proposal(proposedPath(proposedName));
  QFileDialog dialog(parent_, QStringLiteral("Save As"), proposal.absolutePath());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("Photoshop (*.psd *.PSD)"));
  dialog.setDefaultSuffix(kPsdSuffix.mid(1));
  dialog.selectFile(proposal.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst().toStdString();
}

engine::SaveChangesAnswer EngineHostDialogs::askSaveChanges(const std::string& documentName) {
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kProgramTitle), saveChangesQuestion(documentName),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Save: return engine::SaveChangesAnswer::Save;
    case QMessageBox::Discard: return engine::SaveChangesAnswer::DontSave;
    default: return engine::SaveChangesAnswer::Cancel;
  }
}

}  // namespace app::window
