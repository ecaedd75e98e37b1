#pragma once
// The chooser dialog: the user picks a background image from the program's "Backgrounds" tree
// and a button template from its "Button Templates" tree, each shown with its thumbnail.
// Create/Edit Menu shows it modally and reads the chosen files back. It asks and tells through
// a FormView, so the same questions reach the screen or a test's script.

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTreeWidgetItem;

namespace app {
class Form1;
class FormView;
}  // namespace app
namespace file_tree {
class FileTreeControl;
}

namespace menu_creation {

class Dialog : public QDialog {
  Q_OBJECT

 public:
  static inline const QString kCaption = QStringLiteral("Select Background and Button Template files");
  // Client area, in twips.
  static constexpr int kClientWidth = 7035;
  static constexpr int kClientHeight = 6795;

  // Loads the dialog (Form_Load) for the program in programFolder.
  Dialog(app::FormView& prompts, QString programFolder, QWidget* parent = nullptr);

  bool DialogCanceled = true;      // false only after a successful OK
  bool BuildMenuDoc = false;       // a "Build Menu" is open and kept: no background needed
  bool ButtonTemplateDoc = false;  // a "Button Template" is open and kept
  QString BackgroundFile;          // the last clicked background: its folder + "/" + its name
  QString ButtonTemplateFile;
  app::Form1* OwnerForm = nullptr;  // makes missing thumbnails

  void Form_Load();
  void Form_Activate();
  void Form_Click();
  void OKButton_Click();
  void CancelButton_Click();
  void BackgroundsTree_Click(QTreeWidgetItem* oNode, const QString& FilePath, QString FileName, bool DuplicateFileName);
  void ButtonTemplatesTree_Click(QTreeWidgetItem* oNode, const QString& FilePath, QString FileName,
                                 bool DuplicateFileName);

  file_tree::FileTreeControl* BackgroundsTree() const { return backgrounds_.tree; }
  file_tree::FileTreeControl* ButtonTemplatesTree() const { return templates_.tree; }

 protected:
  void showEvent(QShowEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 public slots:
  // Closing the window or pressing Escape is a Cancel.
  void reject() override;

 private:
  // What tells the two trees apart.
  struct TreeSide {
    file_tree::FileTreeControl* tree;
    QLabel* label;
    QLabel* picture;
    QLabel* noThumb;
    QString folder;  // below the program folder
    QString duplicateText;
    QString (*thumbnailName)(const QString& FileName);
    QString* chosenFile;
  };

  // Where one tree's controls stand and what they are called; the label stands above the tree.
  struct SideLayout {
    const char* label;
    const char* caption;
    int labelWidth;
    const char* tree;
    const char* picture;
    const char* noThumb;
    int top;  // of the tree and its picture box, in twips
  };
  using ClickHandler = void (Dialog::*)(QTreeWidgetItem*, const QString&, QString, bool);

  QRect at(int left, int top, int width, int height) const;
  TreeSide MakeSide(const SideLayout& layout, const QString& folder, QString (*thumbnailName)(const QString&),
                    QString* chosenFile);
  QString TopPath(const TreeSide& side) const;
  void TreeClick(TreeSide& side, QTreeWidgetItem* oNode, const QString& FilePath, QString FileName,
                 bool DuplicateFileName);
  void ShowThumbnail(TreeSide& side, const QString& thumbPath);
  void RenameChosenFile(file_tree::FileTreeControl& tree, QTreeWidgetItem* oNode, const QString& FilePath,
                        QString& FileName);
  void DeleteThumbnail(const QString& path);
  void DisableTree(const TreeSide& side);

  app::FormView& prompts_;
  QString programFolder_;
  double dpi_ = 96.0;
  TreeSide backgrounds_{};
  TreeSide templates_{};
  QPushButton* CancelButton_;
  QPushButton* OKButton_;
};

}  // namespace menu_creation
