// The real window under the offscreen platform: geometry, captions, and the core behind it.

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
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextEdit>

#include "app/form1.h"
#include "app/settings_store.h"
#include "app/window/form1_window.h"
#include "app/window/frm_about.h"
#include "app/window/workflow_push_button.h"
#include "app/workflow_state_table.h"
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
  QRect twips(int l, int t, int w, int h) const {
    auto px = [&](int v) { return int(std::lround(v * window.dotsPerInch() / 1440.0)); };
    return {px(l), px(t), px(w), px(h)};
  }
  // The program's folder is the source tree's app/, which holds the shipped Resources.
  std::unique_ptr<app::Form1> loadedCore() {
    const std::string programFolder = QUILLARY_TEST_SOURCE_DIR "/app";
    // A missing file would show a modal message box, which nobody answers here.
    EXPECT_TRUE(QFile::exists(QString::fromStdString(programFolder + "/Resources/StateInfo1.rtf")));
    auto form = std::make_unique<app::Form1>(window, settings, [] { return photoshop::Application(); }, programFolder);
    window.attach(*form);
    form->Form_Load();
    return form;
  }

  QTemporaryDir dir;
  app::SettingsStore settings{dir.filePath("settings.ini")};
  Form1Window window;
};

}  // namespace

TEST_F(MainWindowTest, ControlsStandAtTheirTwipsPositionsWithTheirCaptions) {
  EXPECT_EQ(window.windowTitle(), "Quillary");
  EXPECT_EQ(window.centralWidget()->size(), twips(0, 0, 7665, 6975).size());
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the window keeps its size";

  const struct {
    const char* name;
    QString caption;
    QRect rect;
  } buttons[] = {
      {"CreateNewMenuDoc", "Create/Edit Menu", twips(120, 2220, 1755, 795)},
      {"CloneButtons", " Clone Button Template", twips(120, 3180, 1755, 795)},
      {"BuildCompositeLayers", " Build Composite Layers", twips(120, 4140, 1755, 795)},
      {"FinalPSDDocument", "Final PSD Document", twips(120, 5100, 1755, 795)},
      {"Undo", "Undo", twips(120, 6180, 1755, 375)},
      {"PreviewMenu", "Preview Menu", twips(180, 300, 1035, 795)},
      {"AnotherRandomBkgnd", "Create A New Random  Background", twips(1320, 300, 1155, 795)},
      {"LinkBtnLyrs", " Re-Link Related Button Layers", twips(2580, 300, 1335, 795)},
      {"SaveRTFFile", "Save RTF", twips(4140, 180, 1275, 315)},
      {"LoadRTF", "Load RTF", twips(4140, 840, 1275, 315)},
  };
  for (const auto& b : buttons) {
    auto* button = child<QPushButton>(window, b.name);
    EXPECT_EQ(button->text(), b.caption) << b.name;
    EXPECT_EQ(button->geometry(), b.rect) << b.name;
  }
  EXPECT_TRUE(child<QPushButton>(window, "SaveRTFFile")->isHidden());
  EXPECT_TRUE(child<QPushButton>(window, "LoadRTF")->isHidden());
  EXPECT_FALSE(child<QPushButton>(window, "CloneButtons")->isEnabled());
  EXPECT_TRUE(child<QPushButton>(window, "AnotherRandomBkgnd")->isEnabled());

  EXPECT_EQ(child<QGroupBox>(window, "ColorTableSel")->title(), "Color Table Sel");
  EXPECT_EQ(child<QGroupBox>(window, "ColorTableSel")->geometry(), twips(120, 60, 1755, 1935));
  EXPECT_EQ(child<QGroupBox>(window, "Frame1")->title(), "Settings");
  EXPECT_EQ(child(window, "ColorTableCtrl1")->geometry(), twips(300, 240, 900, 1575));
  EXPECT_EQ(child(window, "FillLtGray")->geometry(), twips(1320, 1080, 255, 255));
  EXPECT_EQ(child<QLabel>(window, "Label2")->text(), "S h i  f t  K e y ");
  EXPECT_EQ(child<QLabel>(window, "Label1")->text(), " X");
  EXPECT_EQ(child<QLineEdit>(window, "MenuWidth")->text(), "720");
  EXPECT_EQ(child<QLineEdit>(window, "MenuHeight")->text(), "540");
  EXPECT_EQ(child(window, "Display")->geometry(), twips(1980, 1560, 5595, 4995));
  EXPECT_EQ(child(window, "ProgressBar1")->geometry(), twips(1980, 1380, 5595, 195));
  EXPECT_EQ(child(window, "StatusBar1")->geometry(), twips(0, 6600, 7665, 375));
  EXPECT_EQ(window.centralWidget()->palette().color(QPalette::Window), QColor(192, 192, 184));

  QStringList menus;
  for (QAction* menu : window.menuBar()->actions()) menus << menu->text();
  EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&Options", "&Window", "&Help"}));
  EXPECT_EQ(child<QAction>(window, "FileMenu0")->text(), "E&xit");
  EXPECT_FALSE(child<QAction>(window, "EditMenu2")->isEnabled());
  EXPECT_EQ(child<QAction>(window, "OptionsMenu0")->text(), "Replace Background with 'Button Image Layer'");
  EXPECT_EQ(child<QAction>(window, "OptionsMenu5")->text(), "Remove Hilite from Nxt/Prev Button Image Area");
  for (int i = 0; i < app::kOptionCount; ++i) EXPECT_EQ(window.OptionChecked(i), i >= 1 && i <= 5) << i;
  EXPECT_EQ(child<QAction>(window, "HelpAbout")->text(), "About Quillary");
}

TEST_F(MainWindowTest, StartUpShowsStateOneWithItsInstructions) {
  auto form = loadedCore();
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
  EXPECT_FALSE(form->IncludeButtonTextArea);

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

TEST_F(MainWindowTest, TheAboutBoxNamesTheProgramAndItsVersion) {
  app::window::frmAbout about(app::MachineKeyStore(dir.filePath("none").toStdString()), {}, &window);
  EXPECT_EQ(about.windowTitle(), "About Quillary");
  EXPECT_EQ(child<QLabel>(about, "lblTitle")->text(), "Quillary");
  EXPECT_EQ(child<QLabel>(about, "lblVersion")->text(), "Version 1.0.64");
  EXPECT_TRUE(child<QLabel>(about, "lblDescription")->text().startsWith("This is a utility to help create custom menus"));
  EXPECT_EQ(child<QPushButton>(about, "cmdSysInfo")->text(), "&System Info...");
  EXPECT_EQ(child<QPushButton>(about, "cmdSysInfo")->geometry(), twips(4260, 3075, 1245, 345));
}

TEST_F(MainWindowTest, WindowWorkspaceBringsTheWorkspaceBack) {
  int opened = 0;
  window.setWorkspaceOpener([&opened] { ++opened; });
  child<QAction>(window, "WindowWorkspace")->trigger();
  EXPECT_EQ(opened, 1);
}
