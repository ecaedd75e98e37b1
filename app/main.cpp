// The quillary program: the main window, its core, and the embedded image engine behind the
// automation layer and the workspace window that shows its documents, with the engine's documents
// kept from one run to the next. The program ends when the main window is unloaded.

#include <QApplication>
#include <QSettings>

#include "app/form1.h"
#include "app/program_folder.h"
#include "app/session_keeper.h"
#include "app/settings_store.h"
#include "app/window/app_icon.h"
#include "app/window/form1_window.h"
#include "engine/pixel_memory.h"
#include "workspace/workspace_window.h"

int main(int argc, char** argv) {
  engine::keepFreedMemoryForReuse();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(app::kProgramTitle));
  QApplication::setOrganizationName(QString::fromLatin1(app::kProgramTitle));
  QApplication::setWindowIcon(app::window::quillaryIcon());

  app::SettingsStore settings;
  app::window::Form1Window window;
  photoshop::Application engine;
  app::SessionKeeper session(engine, photoshop::SessionStore::defaultFolder());
  session.Restore(window);
  QSettings workspaceSettings;
  // The workspace is the engine's host: it asks before a changed document is closed and shows
  // the save dialog of a save with dialogs.
  workspace::Workspace workspaceWindow(engine, workspaceSettings);
  // The program ends with the main window, whether the workspace is open or not.
  workspaceWindow.setAttribute(Qt::WA_QuitOnClose, false);
  window.setWorkspaceOpener([&workspaceWindow] { workspaceWindow.bringForward(); });

  app::Form1 form(window, settings, [&engine] { return engine; }, app::ProgramFolder());
  window.attach(form);
  window.setCommandFinished([&] { session.Save(window); });
  form.Form_Load();
  if (!window.isUnloaded()) {
    window.show();
    workspaceWindow.showBeside(window);
    application.exec();
  }
  // Form_Unload has given the user's preferences back; they are what the session keeps.
  session.Save(window);
  return 0;
}
