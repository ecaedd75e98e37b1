#include "menu_creation/dialog/chooser_dialog.h"

#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidgetItem>
#include <algorithm>

#include "app/form_view.h"
#include "support/caption_fit.h"
#include "support/screen_twips.h"
#include "file_tree/file_tree_control.h"
#include "menu_creation/dialog/chooser_rules.h"
#include "menu_creation/dialog/chooser_thumbnail.h"

namespace menu_creation {

namespace {

// Colours as the layout gives them (red in the low byte).
const QColor kFormColor(0xB8, 0xC0, 0xC0);    // &HC0C0B8
const QColor kButtonColor(0xD8, 0xE0, 0xE0);  // &HE0E0D8
const QColor kLabelColor(0x00, 0x40, 0x40);   // &H404000
const QColor kAlreadyLoadedColor(0xFF, 0x00, 0x00);

const QString kNoThumbnail = QStringLiteral("No Thumbnail Image");
const QString kAlreadyLoaded = QStringLiteral("Already Loaded in Photoshop:");
const QString kPreview = QStringLiteral("Preview");

QString DuplicateText(const QString& treeName) {
  return QStringLiteral(
             "This File Name is duplicated somewhere in the %1 Tree. This will prevent\r\n"
             "a Thumbnail from displaying, all %1 MUST have a unique File Name.\r\n\r\n"
             "Would you like to rename this file now?")
      .arg(treeName);
}

void SetColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(role, color);
  widget->setPalette(palette);
}

// A child control of `parent`, named and placed.
template <class Control, class... Args>
Control* Placed(QWidget* parent, const char* name, const QRect& rect, Args&&... args) {
  auto* control = new Control(std::forward<Args>(args)..., parent);
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(rect);
  return control;
}

QFont Arial(double points, bool bold = false) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QLabel* Caption(const QString& text, QWidget* parent, const char* name, const QRect& rect) {
  auto* label = Placed<QLabel>(parent, name, rect, text);
  label->setFont(Arial(14.25, true));
  support::screen::fitLabelCaption(*label);
  SetColor(label, QPalette::WindowText, kLabelColor);
  return label;
}

// A picture box: the thumbnail at its top-left corner, unscaled, on the dialog's colour.
QLabel* PictureBox(QWidget* parent, const char* name, const QRect& rect) {
  auto* box = Placed<QLabel>(parent, name, rect);
  box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  box->setAutoFillBackground(true);
  SetColor(box, QPalette::Window, kFormColor);
  return box;
}

QPushButton* CommandButton(const QString& caption, QWidget* parent, const char* name, const QRect& rect) {
  auto* button = Placed<QPushButton>(parent, name, rect, caption);
  button->setFont(Arial(9.75));
  SetColor(button, QPalette::Button, kButtonColor);
  return button;
}

file_tree::FileTreeControl* Tree(QWidget* parent, const char* name, const QRect& rect) {
  auto* tree = Placed<file_tree::FileTreeControl>(parent, name, rect);
  tree->SetFilterPath(kPreview);
  tree->SetMaxRecursionDepth(15);
  return tree;
}

}  // namespace

Dialog::Dialog(app::FormView& prompts, QString programFolder, QWidget* parent)
    : QDialog(parent), prompts_(prompts), programFolder_(std::move(programFolder)) {
  setObjectName(QStringLiteral("Dialog"));
  setWindowTitle(kCaption);
  if (const QScreen* s = screen()) dpi_ = s->logicalDotsPerInchX();
  setFixedSize(at(0, 0, kClientWidth, kClientHeight).size());
  setAutoFillBackground(true);
  SetColor(this, QPalette::Window, kFormColor);
  // Captions are sized for the small dialog font the layout was made with.
  QFont small = font();
  small.setPointSizeF(8);
  setFont(small);

  backgrounds_ = MakeSide(
      {"BackgroundLabel", "Select Background Image:", 3675, "BackgroundsTree", "BackgroundPic", "NoThumb1", 540},
      QStringLiteral("Backgrounds"), &BackgroundThumbnailName, &BackgroundFile);
  templates_ = MakeSide(
      {"ButtonLabel", "Select Button Template:", 3330, "ButtonTemplatesTree", "ButtonTemplatePic", "NoThumb2", 3540},
      QStringLiteral("Button Templates"), &TemplateThumbnailName, &ButtonTemplateFile);
  const auto route = [this](file_tree::FileTreeControl* tree, ClickHandler handler) {
    connect(
        tree, &file_tree::FileTreeControl::Click, this,
        [this, handler](QTreeWidgetItem* oNode, const QString& FilePath, const QString& FileName,
                        bool DuplicateFileName) { (this->*handler)(oNode, FilePath, FileName, DuplicateFileName); });
  };
  route(backgrounds_.tree, &Dialog::BackgroundsTree_Click);
  route(templates_.tree, &Dialog::ButtonTemplatesTree_Click);

  CancelButton_ = CommandButton(QStringLiteral("Cancel"), this, "CancelButton", at(4260, 6300, 1215, 375));
  OKButton_ = CommandButton(QStringLiteral("OK"), this, "OKButton", at(5580, 6300, 1215, 375));
  OKButton_->setDefault(true);
  connect(OKButton_, &QPushButton::clicked, this, &Dialog::OKButton_Click);
  connect(CancelButton_, &QPushButton::clicked, this, &Dialog::CancelButton_Click);

  Form_Load();
}

QRect Dialog::at(int left, int top, int width, int height) const {
  return support::screen::twipsRect(left, top, width, height, dpi_);
}

Dialog::TreeSide Dialog::MakeSide(const SideLayout& layout, const QString& folder,
                                  QString (*thumbnailName)(const QString&), QString* chosenFile) {
  TreeSide side{};
  side.label = Caption(QString::fromLatin1(layout.caption), this, layout.label,
                       at(120, layout.top - 360, layout.labelWidth, 330));
  side.tree = Tree(this, layout.tree, at(180, layout.top, 3255, 2535));
  side.picture = PictureBox(this, layout.picture, at(3540, layout.top, 3375, 2595));
  side.noThumb = Placed<QLabel>(side.picture, layout.noThumb, at(780, 1200, 1815, 255), kNoThumbnail);
  side.folder = folder;
  side.duplicateText = DuplicateText(folder);
  side.thumbnailName = thumbnailName;
  side.chosenFile = chosenFile;
  return side;
}

QString Dialog::TopPath(const TreeSide& side) const { return programFolder_ + u'/' + side.folder; }

void Dialog::Form_Load() { DialogCanceled = true; }

void Dialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) Form_Activate();
}

void Dialog::Form_Activate() {
  backgrounds_.tree->SetTopPath(TopPath(backgrounds_));
  templates_.tree->SetTopPath(TopPath(templates_));
  // A tree disabled once stays so until the dialog is unloaded: a kept document stays kept.
  if (BuildMenuDoc) DisableTree(backgrounds_);
  if (ButtonTemplateDoc) DisableTree(templates_);
  backgrounds_.tree->Refresh();
  templates_.tree->Refresh();
}

void Dialog::DisableTree(const TreeSide& side) {
  side.tree->SetEnabled(false);
  SetColor(side.label, QPalette::WindowText, kAlreadyLoadedColor);
  side.label->setText(kAlreadyLoaded);
  // The longer caption may not fit the layout's width; nothing lies to the right of it.
  side.label->resize(std::max(side.label->width(), side.label->sizeHint().width()), side.label->height());
  support::screen::fitLabelCaption(*side.label);
}

void Dialog::mouseReleaseEvent(QMouseEvent* event) {
  QDialog::mouseReleaseEvent(event);
  // Only the dialog's own surface: labels pass their clicks on to it.
  if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint())) Form_Click();
}

void Dialog::Form_Click() {
  backgrounds_.tree->Refresh();
  templates_.tree->Refresh();
}

void Dialog::OKButton_Click() {
  if (BackgroundFile.isEmpty() && !BuildMenuDoc) {
    prompts_.MsgBox("You must select a 'Background' image first.", app::MsgBoxButtons::OKOnly, "");
    return;
  }
  if (ButtonTemplateFile.isEmpty() && !ButtonTemplateDoc) {
    prompts_.MsgBox("You must select a 'Button Template' first.", app::MsgBoxButtons::OKOnly, "");
    return;
  }
  DialogCanceled = false;
  QDialog::accept();
}

void Dialog::CancelButton_Click() {
  DialogCanceled = true;
  QDialog::reject();
}

void Dialog::reject() { CancelButton_Click(); }

void Dialog::BackgroundsTree_Click(QTreeWidgetItem* oNode, const QString& FilePath, QString FileName,
                                   bool DuplicateFileName) {
  TreeClick(backgrounds_, oNode, FilePath, std::move(FileName), DuplicateFileName);
}

void Dialog::ButtonTemplatesTree_Click(QTreeWidgetItem* oNode, const QString& FilePath, QString FileName,
                                       bool DuplicateFileName) {
  TreeClick(templates_, oNode, FilePath, std::move(FileName), DuplicateFileName);
}

void Dialog::TreeClick(TreeSide& side, QTreeWidgetItem* oNode, const QString& FilePath, QString FileName,
                       bool DuplicateFileName) {
  side.noThumb->hide();
  const QString previewFolder = TopPath(side) + u'/' + kPreview + u'/';
  if (DuplicateFileName) {
    prompts_.Beep();
    if (prompts_.MsgBox(side.duplicateText.toStdString(), app::MsgBoxButtons::YesNo, "Duplicate File Name Detected") ==
        app::MsgBoxResult::Yes) {
      DeleteThumbnail(previewFolder + side.thumbnailName(FileName));
      RenameChosenFile(*side.tree, oNode, FilePath, FileName);
      // The rebuild deletes the clicked node.
      side.tree->SetTopPath(TopPath(side));
    }
  }
  *side.chosenFile = FilePath + u'/' + FileName;
  ShowThumbnail(side, previewFolder + side.thumbnailName(FileName));
}

void Dialog::ShowThumbnail(TreeSide& side, const QString& thumbPath) {
  const ChooserThumbnail thumbnail = LoadOrMakeThumbnail(thumbPath, *side.chosenFile, OwnerForm);
  if (!thumbnail.makeError.empty()) prompts_.MsgBox(thumbnail.makeError, app::MsgBoxButtons::OKOnly, "");
  side.picture->setPixmap(thumbnail.picture.isNull() ? QPixmap() : QPixmap::fromImage(thumbnail.picture));
  // The clicked file has no picture to show; the previous file's picture would mislead.
  side.noThumb->setVisible(thumbnail.picture.isNull());
}

void Dialog::RenameChosenFile(file_tree::FileTreeControl& tree, QTreeWidgetItem* oNode, const QString& FilePath,
                              QString& FileName) {
  QString newName;
  for (;;) {
    const std::optional<QString> answer = RenamedFileName(
        QString::fromStdString(prompts_.InputBox("Enter a new file name:", "Rename File", FileName.toStdString())),
        FileName);
    if (!answer) return;  // cancelled: the file keeps its name
    const QString refusal = RenameRefusal(FilePath, *answer);
    if (refusal.isEmpty()) {
      newName = *answer;
      break;
    }
    prompts_.MsgBox(refusal.toStdString(), app::MsgBoxButtons::OKOnly, "Rename File");
  }
  // QFile never replaces an existing file, even one that appeared since the check.
  QFile file(FilePath + u'/' + FileName);
  if (!file.rename(FilePath + u'/' + newName)) {
    prompts_.MsgBox("The file could not be renamed: " + file.errorString().toStdString(), app::MsgBoxButtons::OKOnly,
                    "Rename File");
    return;
  }
  file_tree::FileTreeControl::SetNodeTag(oNode, QString());
  tree.SetNodeKey(oNode, newName.left(std::max<qsizetype>(newName.size() - 4, 0)));
  oNode->setText(0, newName);
  FileName = newName;
}

void Dialog::DeleteThumbnail(const QString& path) {
  // A thumbnail that is not there needs no deleting.
  QFile::remove(path);
}

}  // namespace menu_creation
