// Every caption fits its control: the main window, the chooser, the About box and the workspace
// (menus, panel titles, tabs, the New dialog's labels and buttons), measured with the fonts they
// show. The program runs it at 1x and again under QT_SCALE_FACTOR=2, where text is laid out
// without hinting and may come out wider.

#include <QCheckBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStyleOption>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextDocument>

#include "app/form_fixture.h"
#include "app/window/form1_window.h"
#include "app/window/frm_about.h"
#include "app/window/workflow_push_button.h"
#include "menu_creation/dialog/chooser_dialog.h"
#include "photoshop/photoshop_fixtures.h"
#include "widget_test_environment.h"
#include "workspace/workspace_window.h"

namespace {

// Empty when the text fits in `area` laid out the way the control lays it out; else the text
// with the size it needs and the size it has.
QString fits(const QFontMetrics& metrics, const QRect& area, int flags, const QString& text) {
  const QRect needed = metrics.boundingRect(area, flags, text);
  if (needed.width() <= area.width() && needed.height() <= area.height()) return {};
  const auto size = [](const QRect& r) { return QStringLiteral("%1 x %2").arg(r.width()).arg(r.height()); };
  return QStringLiteral("%1\" needs %2 in %3").arg(text, size(needed), size(area));
}

// The text of a title or entry that needs `needed` pixels and has `has`.
QString narrow(const QString& text, int needed, int has) {
  return QStringLiteral("%1\" needs %2 in %3").arg(text).arg(needed).arg(has);
}

QString labelFault(const QLabel& label) {
  const QString text = label.text();
  if (text.isEmpty() || Qt::mightBeRichText(text) || !label.pixmap().isNull()) return {};
  const int flags = int(label.alignment()) | (label.wordWrap() ? Qt::TextWordWrap : 0);
  return fits(label.fontMetrics(), label.contentsRect(), flags, text);
}

QString buttonFault(const QAbstractButton& button) {
  const QString text = button.text();
  if (text.isEmpty()) return {};
  if (qobject_cast<const app::window::WorkflowPushButton*>(&button))
    return fits(button.fontMetrics(), button.rect().adjusted(4, 2, -4, -2), Qt::AlignCenter | Qt::TextWordWrap, text);
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = text;
  QStyle::SubElement contents = QStyle::SE_PushButtonContents;
  if (qobject_cast<const QCheckBox*>(&button)) contents = QStyle::SE_CheckBoxContents;
  if (qobject_cast<const QRadioButton*>(&button)) contents = QStyle::SE_RadioButtonContents;
  const QRect area = button.style()->subElementRect(contents, &option, &button);
  return fits(button.fontMetrics(), area, Qt::AlignCenter | Qt::TextShowMnemonic, text);
}

QString groupBoxFault(const QGroupBox& box) {
  if (box.title().isEmpty()) return {};
  QStyleOptionGroupBox option;
  option.initFrom(&box);
  option.text = box.title();
  option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
  const QRect label = box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
  if (label.right() < box.width() && box.fontMetrics().horizontalAdvance(box.title()) <= label.width()) return {};
  return narrow(box.title(), label.right() + 1, box.width());
}

// The caption as drawn: "&&" is an ampersand, a single "&" marks the mnemonic.
QString shown(QString caption) {
  return caption.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
}

// Every title in the bar, each whole and none moved into the overflow menu.
QString menuBarFault(const QMenuBar& bar) {
  for (QAction* a : bar.actions()) {
    const QRect r = bar.actionGeometry(a);
    const int needed = bar.fontMetrics().horizontalAdvance(shown(a->text()));
    if (r.isEmpty() || !bar.rect().contains(r))
      return QStringLiteral("%1\" does not fit in the %2-pixel bar").arg(shown(a->text())).arg(bar.width());
    if (r.width() < needed) return narrow(shown(a->text()), needed, r.width());
  }
  return {};
}

// Every entry with its shortcut, in a menu that may have been narrowed to the screen.
QString menuFault(QMenu& menu) {
  for (QAction* a : menu.actions()) {
    if (a->isSeparator() || !a->isVisible()) continue;
    const QFontMetrics metrics(a->font().resolve(menu.font()));
    const QString keys = a->shortcut().toString(QKeySequence::NativeText);
    const int needed = metrics.horizontalAdvance(shown(a->text())) + (keys.isEmpty() ? 0 : metrics.horizontalAdvance(keys));
    const QRect r = menu.actionGeometry(a);
    if (r.width() < needed) return narrow(shown(a->text()), needed, r.width());
  }
  return {};
}

// The title in the part of the title bar its buttons leave.
QString dockFault(const QDockWidget& dock) {
  if (dock.windowTitle().isEmpty() || dock.titleBarWidget()) return {};
  QStyleOptionDockWidget option;
  option.initFrom(&dock);
  option.title = dock.windowTitle();
  option.closable = dock.features().testFlag(QDockWidget::DockWidgetClosable);
  option.movable = dock.features().testFlag(QDockWidget::DockWidgetMovable);
  option.floatable = dock.features().testFlag(QDockWidget::DockWidgetFloatable);
  option.rect = QRect(0, 0, dock.width(), dock.fontMetrics().height() + 8);
  const QRect area = dock.style()->subElementRect(QStyle::SE_DockWidgetTitleBarText, &option, &dock);
  return fits(dock.fontMetrics(), area, Qt::AlignLeft | Qt::AlignVCenter, dock.windowTitle());
}

QString tabFault(const QTabBar& tabs) {
  for (int i = 0; i < tabs.count(); ++i) {
    const QWidget* close = tabs.tabButton(i, QTabBar::RightSide);
    const int needed = tabs.fontMetrics().horizontalAdvance(shown(tabs.tabText(i))) + (close ? close->width() : 0);
    if (tabs.tabRect(i).width() < needed) return narrow(tabs.tabText(i), needed, tabs.tabRect(i).width());
  }
  return {};
}

QString captionFault(const QWidget& w) {
  if (const auto* label = qobject_cast<const QLabel*>(&w)) return labelFault(*label);
  if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) return buttonFault(*button);
  if (const auto* box = qobject_cast<const QGroupBox*>(&w)) return groupBoxFault(*box);
  if (const auto* bar = qobject_cast<const QMenuBar*>(&w)) return menuBarFault(*bar);
  if (auto* menu = qobject_cast<QMenu*>(const_cast<QWidget*>(&w))) return menuFault(*menu);
  if (const auto* dock = qobject_cast<const QDockWidget*>(&w)) return dockFault(*dock);
  if (const auto* tabs = qobject_cast<const QTabBar*>(&w)) return tabFault(*tabs);
  return {};
}

// Every control under `top` whose caption is cut, by name and caption.
std::vector<std::string> cutCaptions(const QWidget& top) {
  std::vector<std::string> cut;
  for (const QWidget* w : top.findChildren<QWidget*>()) {
    const QString fault = captionFault(*w);
    if (!fault.isEmpty()) cut.push_back(w->objectName().toStdString() + " \"" + fault.toStdString());
  }
  return cut;
}

using CaptionTest = app_test::FormTest;

// Every window and dialog: the main window, the About box, the chooser in both states (with
// documents already open both its sides show the longer "already loaded" caption) and the
// workspace with its New dialog.
TEST_F(CaptionTest, EveryCaptionFits) {
  QTemporaryDir dir;
  app::window::Form1Window window;
  app::window::frmAbout about(app::MachineKeyStore(dir.filePath("none.conf").toStdString()), app::SystemInfoLauncher());
  app_test::ScriptedFormView prompts;
  const QString program = QString::fromStdString(programFolder());
  menu_creation::Dialog chooser(prompts, program), loaded(prompts, program);
  loaded.BuildMenuDoc = loaded.ButtonTemplateDoc = true;
  QSettings settings(dir.filePath(QStringLiteral("workspace.ini")), QSettings::IniFormat);
  photoshop::Application documents = fixtures::pixelApplication();
  documents.Documents().Add(720, 540, 72, "Button Template");
  documents.Documents().Add(720, 540, 72, "Build Menu");
  workspace::Workspace workspace(documents, settings);
  for (QWidget* top : std::initializer_list<QWidget*>{&window, &about, &chooser, &loaded, &workspace}) {
    top->show();
    if (top == &workspace) workspace.sync();
    EXPECT_EQ(cutCaptions(*top), std::vector<std::string>{})
        << top->metaObject()->className() << (top == &loaded ? " with documents loaded" : "") << " at scale "
        << top->devicePixelRatio();
  }

  // File > New asks for the size in a dialog of its own.
  std::vector<std::string> newDialog{"the dialog did not show"};
  quillary_test::answerNextDialog([&newDialog](QDialog& dialog) {
    newDialog = cutCaptions(dialog);
    dialog.reject();
  });
  for (QAction* a : workspace.actions())
    if (a->text().startsWith(QStringLiteral("&New"))) a->trigger();
  EXPECT_EQ(newDialog, std::vector<std::string>{});
}

}  // namespace
