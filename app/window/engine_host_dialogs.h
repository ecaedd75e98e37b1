#pragma once
// The engine's questions to the user, asked in dialogs over the program's window: whether to
// save the changes of a document being closed, and under which file a document is saved when
// the save shows its dialog. It is the engine's host for as long as it lives.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "engine/engine.h"

namespace app::window {

class EngineHostDialogs : public engine::Host {
 public:
  // Dialogs are owned by `parent` (none: top-level dialogs).
  EngineHostDialogs(engine::Engine& engine, QWidget* parent);

  std::optional<std::string> chooseSavePath(const std::string& proposedName) override;
  engine::SaveChangesAnswer askSaveChanges(const std::string& documentName) override;

  // The question of the close prompt.
  static QString saveChangesQuestion(const std::string& documentName);

 private:
  QPointer<QWidget> parent_;
  engine::HostInstallation installation_;
};

}  // namespace app::window
