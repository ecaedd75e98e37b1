// Every caption fits its control: the main window, the chooser and the About box, measured
// with the fonts they show. The program runs it at 1x and again under QT_SCALE_FACTOR=2, where
// text is laid out without hinting and may come out wider.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTextDocument>

#include "app/form_fixture.h"
#include "app/window/form1_window.h"
#include "app/window/frm_about.h"
#include "app/window/workflow_push_button.h"
#include "menu_creation/dialog/chooser_dialog.h"
#include "widget_test_environment.h"

namespace {

std::string describe(const QWidget& w, const QString& fault) {
  return w.objectName().toStdString() + " \"" + fault.toStdString();
}

// Empty when the text fits in `area` laid out the way the control lays it out; else the text
// with the size it needs and the size it has.
QString fits(const QFontMetrics& metrics, const QRect& area, int flags, const QString& text) {
  const QRect needed = metrics.boundingRect(area, flags, text);
  if (needed.width() <= area.width() && needed.height() <= area.height()) return {};
  return QStringLiteral("%1\" needs %2 x %3 in %4 x %5")
      .arg(text)
      .arg(needed.width())
      .arg(needed.height())
      .arg(area.width())
      .arg(area.height());
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
  return QStringLiteral("%1\" needs %2 in %3").arg(box.title()).arg(label.right() + 1).arg(box.width());
}

// Every control under `top` whose caption is cut, by name and caption.
std::vector<std::string> cutCaptions(const QWidget& top) {
  std::vector<std::string> cut;
  for (const QWidget* w : top.findChildren<QWidget*>()) {
    QString fault;
    if (const auto* label = qobject_cast<const QLabel*>(w))
      fault = labelFault(*label);
    else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
      fault = buttonFault(*button);
    else if (const auto* box = qobject_cast<const QGroupBox*>(w))
      fault = groupBoxFault(*box);
    if (!fault.isEmpty()) cut.push_back(describe(*w, fault));
  }
  return cut;
}

using CaptionTest = app_test::FormTest;

TEST_F(CaptionTest, MainWindowCaptionsFit) {
  app::window::Form1Window window;
  window.show();
  EXPECT_EQ(cutCaptions(window), std::vector<std::string>{}) << "scale " << window.devicePixelRatio();
}

TEST_F(CaptionTest, ChooserCaptionsFitInBothStates) {
  app_test::ScriptedFormView prompts;
  menu_creation::Dialog dialog(prompts, QString::fromStdString(programFolder()));
  dialog.show();
  EXPECT_EQ(cutCaptions(dialog), std::vector<std::string>{}) << "scale " << dialog.devicePixelRatio();
  dialog.hide();
  // Documents already open: both sides show the longer "already loaded" caption.
  menu_creation::Dialog loaded(prompts, QString::fromStdString(programFolder()));
  loaded.BuildMenuDoc = true;
  loaded.ButtonTemplateDoc = true;
  loaded.show();
  EXPECT_EQ(cutCaptions(loaded), std::vector<std::string>{});
}

TEST_F(CaptionTest, AboutBoxCaptionsFit) {
  QTemporaryDir dir;
  app::window::frmAbout about(app::MachineKeyStore(dir.filePath("none.conf").toStdString()), app::SystemInfoLauncher());
  about.show();
  EXPECT_EQ(cutCaptions(about), std::vector<std::string>{});
}

}  // namespace
