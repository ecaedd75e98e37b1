#pragma once
// The chooser's tests: a core with a program folder holding "Backgrounds" and "Button
// Templates", pictures and templates written by code, and a dialog loaded for that folder.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

#include "app/form_fixture.h"
#include "file_tree/file_tree_control.h"
#include "menu_creation/dialog/chooser_dialog.h"

namespace chooser_test {

// Remembers every rename prompt besides answering it.
class PromptingView : public app_test::ScriptedFormView {
 public:
  std::vector<std::string> inputPrompts;
  std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override {
    inputPrompts.push_back(title + "|" + prompt + "|" + defaultText);
    return ScriptedFormView::InputBox(prompt, title, defaultText);
  }
};

class ChooserTest : public app_test::FormTest {
 protected:
  ChooserTest() {
    QDir().mkpath(backgrounds());
    QDir().mkpath(templates());
    engine.calls().setEnabled(true);
  }

  QString program() const { return QString::fromStdString(programFolder()); }
  QString backgrounds() const { return program() + "/Backgrounds"; }
  QString templates() const { return program() + "/Button Templates"; }

  // A picture file of any format Qt writes, chosen by the name's extension unless given.
  void writePicture(const QString& path, const char* format = nullptr, QColor color = QColor(40, 90, 160)) const {
    QDir().mkpath(QFileInfo(path).path());
    QImage picture(360, 270, QImage::Format_RGB32);
    picture.fill(color);
    ASSERT_TRUE(picture.save(path, format)) << path.toStdString();
  }
  // A layered document saved by our own writer.
  void writeTemplate(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    photoshop::Document doc = addDocument("template");
    addLayer(doc, "Button Area");
    doc.Selection().SelectAll();
    doc.Selection().Fill(photoshop::SolidColor(200, 0, 0));
    doc.SaveAs(path.toStdString(), photoshop::PhotoshopSaveOptions{}, true);
    doc.Close(photoshop::ps::DoNotSaveChanges);
  }

  // The dialog, loaded for the program folder and owned by the core, as the window shows it.
  menu_creation::Dialog& dialog() {
    if (!dialog_) {
      dialog_ = std::make_unique<menu_creation::Dialog>(prompts, program());
      dialog_->OwnerForm = &loadedForm();
    }
    return *dialog_;
  }
  menu_creation::Dialog& activated() {
    dialog().Form_Activate();
    return dialog();
  }

  static QTreeWidgetItem* node(const file_tree::FileTreeControl& tree, const QString& text) {
    const auto found = tree.TreeView1()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }
  // A click on the file node with this text, as the user makes it.
  static void click(const file_tree::FileTreeControl& tree, const QString& text) {
    QTreeWidgetItem* item = node(tree, text);
    ASSERT_NE(item, nullptr) << text.toStdString();
    emit tree.TreeView1()->itemClicked(item, 0);
  }
  // The same with the mouse, on a shown tree: Qt is still in its own click handling when the
  // dialog rebuilds the tree under it.
  static void mouseClick(const file_tree::FileTreeControl& tree, const QString& text) {
    QTreeWidgetItem* item = node(tree, text);
    ASSERT_NE(item, nullptr) << text.toStdString();
    tree.TreeView1()->expandAll();
    tree.TreeView1()->scrollToItem(item);
    const QPoint centre = tree.TreeView1()->visualItemRect(item).center();
    QTest::mouseClick(tree.TreeView1()->viewport(), Qt::LeftButton, {}, centre);
  }
  template <class T = QWidget>
  T* child(const char* name) {
    T* found = dialog().findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  long opens() const {
    const auto& calls = engine.calls().calls();
    return std::count(calls.begin(), calls.end(), std::string("Application.Open"));
  }
  static bool isJpeg(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(3) == QByteArray("\xFF\xD8\xFF", 3);
  }

  // What the dialog asks and tells; the core's own view is `view`.
  PromptingView prompts;

 private:
  std::unique_ptr<menu_creation::Dialog> dialog_;
};

}  // namespace chooser_test
