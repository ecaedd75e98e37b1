// The quillary program: the main window, its core, and the embedded image engine behind the
// automation layer. The program ends when the main window is unloaded.

#include <QApplication>

#include "app/form1.h"
#include "app/program_folder.h"
#include "app/settings_store.h"
#include "app/window/app_icon.h"
#include "app/window/form1_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(app::kProgramTitle));
  QApplication::setOrganizationName(QString::fromLatin1(app::kProgramTitle));
  QApplication::setWindowIcon(app::window::quillaryIcon());

  app::SettingsStore settings;
  app::window::Form1Window window;
  app::Form1 form(window, settings, [] { return photoshop::Application(); }, app::ProgramFolder());
  window.attach(form);
  form.Form_Load();
  if (window.isUnloaded()) return 0;
  window.show();
  return application.exec();
}
