// The real window under the offscreen platform: geometry, captions, the core behind it, and the
// instruction pane's file name, which stays with the text it shows.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <fstream>

#include "app/form1.h"
#include "app/settings_store.h"
#include "app/window/form1_window.h"
#include "app/window/frm_about.h"
#include "app/window/workflow_push_button.h"
#include "widget_test_environment.h"

using app::window::Form1Window;

namespace {

template <class T = QWidget>
T* child(const QObject& parent, const char* name) {
  T* found = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

class MainWindowTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  app::SettingsStore settings{dir.filePath("settings.ini")};
  Form1Window window;
};

}  // namespace

// The layout's invariants rather than a copy of its table: every control lies inside the client
// area (or the About box) and inside its group, no two controls of one parent overlap, and the
// window keeps its size. The About box names the program and its version.
TEST_F(MainWindowTest, ControlsLieInsideTheWindowAndApartFromOneAnother) {
  EXPECT_EQ(window.windowTitle(), "Quillary");
  app::window::frmAbout about(app::MachineKeyStore(dir.filePath("none").toStdString()), {}, &window);
  EXPECT_EQ(about.windowTitle(), "About Quillary");
  EXPECT_EQ(child<QLabel>(about, "lblTitle")->text(), "Quillary");
  EXPECT_EQ(child<QLabel>(about, "lblVersion")->text(), "Version 1.0.64");
  EXPECT_TRUE(child<QLabel>(about, "lblDescription")->text().startsWith("This is a utility to help create custom menus"));
  EXPECT_EQ(child<QPushButton>(about, "cmdSysInfo")->text(), "&System Info...");
  const auto px = [&](int twips) { return int(std::lround(twips * window.dotsPerInch() / 1440.0)); };
  EXPECT_EQ(window.centralWidget()->size(), QSize(px(7665), px(6975)));
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the window keeps its size";

  std::vector<QWidget*> parents{window.centralWidget(), &about};
  for (std::size_t p = 0; p < parents.size(); ++p) {
    QWidget* parent = parents[p];
    std::vector<QWidget*> controls;
    for (QObject* o : parent->children())
      if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && !w->objectName().isEmpty()) controls.push_back(w);
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const QRect r = controls[i]->geometry();
      EXPECT_TRUE(QRect(QPoint(0, 0), parent->size()).contains(r))
          << controls[i]->objectName().toStdString() << " leaves " << parent->objectName().toStdString();
      // Controls may share a pixel's width (the progress bar sits on the pane's top edge, the
      // one-pixel line runs behind the buttons), no more.
      for (std::size_t j = 0; j < i; ++j) {
        const QRect both = r.intersected(controls[j]->geometry());
        EXPECT_TRUE(both.isEmpty() || std::min(both.width(), both.height()) <= 1)
            << controls[i]->objectName().toStdString() << " overlaps " << controls[j]->objectName().toStdString();
      }
      if (qobject_cast<QGroupBox*>(controls[i])) parents.push_back(controls[i]);
    }
  }
  for (const char* hidden : {"SaveRTFFile", "LoadRTF"}) EXPECT_TRUE(child<QPushButton>(window, hidden)->isHidden());
  EXPECT_EQ(child<QLineEdit>(window, "MenuWidth")->text(), "720");
  EXPECT_EQ(child<QLineEdit>(window, "MenuHeight")->text(), "540");

  QStringList menus;
  for (QAction* menu : window.menuBar()->actions()) menus << menu->text();
  EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&Options", "&Window", "&Help"}));
  for (int i = 0; i < app::kOptionCount; ++i)
    EXPECT_EQ(window.OptionChecked(i), app::kOptionsCheckedAtStart[i]) << "the menu starts as the core's flags";
  int opened = 0;
  window.setWorkspaceOpener([&opened] { ++opened; });
  child<QAction>(window, "WindowWorkspace")->trigger();
  EXPECT_EQ(opened, 1) << "Window > Workspace brings the workspace back";
}

TEST_F(MainWindowTest, StartUpShowsStateOneWithItsInstructions) {
  // The program's folder is the source tree's app/, which holds the shipped Resources: a missing
  // file would show a modal message box, which nobody answers here.
  const std::string programFolder = QUILLARY_TEST_SOURCE_DIR "/app";
  ASSERT_TRUE(QFile::exists(QString::fromStdString(programFolder + "/Resources/StateInfo1.rtf")));
  app::Form1 form(window, settings, [] { return photoshop::Application(); }, programFolder);
  window.attach(form);
  form.Form_Load();
  EXPECT_EQ(window.StatusPanelText(1), "Status:");
  EXPECT_EQ(window.StatusPanelText(2), "Create New Menu Docs");
  EXPECT_TRUE(child<QTextEdit>(window, "Display")->toPlainText().startsWith("Step 1"));
  auto* create = child<app::window::WorkflowPushButton>(window, "CreateNewMenuDoc");
  EXPECT_TRUE(create->isEnabled());
  EXPECT_EQ(create->faceColor(), QColor(208, 255, 208));
  EXPECT_FALSE(child<QPushButton>(window, "Undo")->isEnabled());
  EXPECT_NEAR(window.WindowLeft(), 2000, 15) << "on whole pixels";
  EXPECT_NEAR(window.WindowTop(), 2000, 15);

  // An option chosen in the menu is toggled once, by the core.
  child<QAction>(window, "OptionsMenu3")->trigger();
  EXPECT_FALSE(window.OptionChecked(3));
  EXPECT_FALSE(form.IncludeButtonTextArea);

  // Ctrl+Q, X, J typed anywhere in the window reveals the file buttons.
  window.show();
  for (Qt::Key key : {Qt::Key_Q, Qt::Key_X, Qt::Key_J}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    QApplication::sendEvent(target, &press);
  }
  EXPECT_TRUE(window.RtfButtonsVisible());

  window.MoveWindow(3000, 1500);
  child<QAction>(window, "FileMenu0")->trigger();
  EXPECT_TRUE(window.isUnloaded());
  EXPECT_EQ(settings.GetSetting("Settings", "MainLeft"), "3000");
}

TEST_F(MainWindowTest, AFailedLoadLeavesThePaneWithTheFileItsTextCameFrom) {
  const QString shown = dir.filePath("StateInfo1.rtf"), missing = dir.filePath("StateInfo2.rtf");
  std::ofstream(shown.toStdString()) << "{\\rtf1 Step one\\par}";
  ASSERT_TRUE(window.LoadInstructionFile(shown.toStdString()).ok());
  EXPECT_FALSE(window.LoadInstructionFile(missing.toStdString()).ok());
  EXPECT_EQ(window.InstructionFileName(), shown.toStdString());

  // "Save RTF" then writes the text back where it came from, not under the other file's name.
  window.SaveInstructionFile(window.InstructionFileName());
  EXPECT_FALSE(QFile::exists(missing));
}
