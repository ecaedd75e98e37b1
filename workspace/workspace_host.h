#pragma once
// The engine's host in the program: the save dialog for a save with dialogs, which starts in the
// folder last used, and the close prompt, which names the document. The dialogs are functions
// so that tests can answer them.

#include <QMessageBox>
#include <QString>
#include <functional>

#include "engine/engine.h"

class QSettings;
class QWidget;

namespace workspace {

class WorkspaceHost : public engine::Host {
 public:
  WorkspaceHost(QWidget* window, QSettings& settings);

  std::optional<std::string> chooseSavePath(const std::string& proposedName) override;
  engine::SaveChangesAnswer askSaveChanges(const std::string& documentName) override;

  // The folder the last save or open dialog ended in; the user's documents folder at first.
  QString lastFolder() const;
  void rememberFolder(const QString& filePath);

  // Shows the save dialog at `proposedPath`; an empty answer is a cancel.
  std::function<QString(const QString& proposedPath)> saveDialog;
  // Shows the prompt; answers Save, Discard or Cancel.
  std::function<QMessageBox::StandardButton(const QString& text)> savePrompt;

 private:
  QWidget* window_;
  QSettings& settings_;
};

}  // namespace workspace
