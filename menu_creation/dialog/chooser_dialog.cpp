#include "menu_creation/dialog/chooser_dialog.h"

#include <QFile>
#include <algorithm>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidgetItem>

#include "app/form_view.h"
#include "app/window/screen_twips.h"
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
  return QStringLiteral("This File Name is duplicated somewhere in the %1 Tree. This will prevent\r\n"
                        "a Thumbnail from displaying, all %1 MUST have a unique File Name.\r\n\r\n"
                        "Would you like to rename this file now?")
      .arg(treeName);
}

void SetColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(role, color);
  widget->setPalette(palette);
}

QLabel* Caption(const QString& text, QWidget* parent, const char* name, const QRect& rect) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(rect);
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(14.25);
  font.setBold(true);
  label->setFont(font);
  SetColor(label, QPalette::WindowText, kLabelColor);
  return label;
}

// A picture box: the thumbnail at its top-left corner, unscaled, on the dialog's colour.
QLabel* PictureBox(QWidget* parent, const char* name, const QRect& rect) {
  auto* box = new QLabel(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(rect);
  box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  box->setAutoFillBackground(true);
  SetColor(box, QPalette::Window, kFormColor);
  return box;
}

QPushButton* CommandButton(const QString& caption, QWidget* parent, const char* name, const QRect& rect) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(rect);
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(9.75);
  button->setFont(font);
  SetColor(button, QPalette::Button, kButtonColor);
  return button;
}

file_tree::FileTreeControl* Tree(QWidget* parent, const char* name, const QRect& rect) {
  auto* tree = new file_tree::FileTreeControl(parent);
  tree->setObjectName(QString::fromLatin1(name));
  tree->setGeometry(rect);
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

  BackgroundLabel_ = Caption(QStringLiteral("Select Background Image:"), this, "BackgroundLabel", at(120, 180, 3675, 330));
  BackgroundsTree_ = Tree(this, "BackgroundsTree", at(180, 540, 3255, 2535));
  BackgroundPic_ = PictureBox(this, "BackgroundPic", at(3540, 540, 3375, 2595));
  NoThumb1_ = new QLabel(kNoThumbnail, BackgroundPic_);
  NoThumb1_->setObjectName(QStringLiteral("NoThumb1"));
  NoThumb1_->setGeometry(at(780, 1200, 1815, 255));

  ButtonLabel_ = Caption(QStringLiteral("Select Button Template:"), this, "ButtonLabel", at(120, 3180, 3330, 330));
  ButtonTemplatesTree_ = Tree(this, "ButtonTemplatesTree", at(180, 3540, 3255, 2535));
  ButtonTemplatePic_ = PictureBox(this, "ButtonTemplatePic", at(3540, 3540, 3375, 2595));
  NoThumb2_ = new QLabel(kNoThumbnail, ButtonTemplatePic_);
  NoThumb2_->setObjectName(QStringLiteral("NoThumb2"));
  NoThumb2_->setGeometry(at(780, 1200, 1815, 255));

  CancelButton_ = CommandButton(QStringLiteral("Cancel"), this, "CancelButton", at(4260, 6300, 1215, 375));
  OKButton_ = CommandButton(QStringLiteral("OK"), this, "OKButton", at(5580, 6300, 1215, 375));
  OKButton_->setDefault(true);

  backgrounds_ = {BackgroundsTree_,
                  BackgroundLabel_,
                  BackgroundPic_,
                  NoThumb1_,
                  QStringLiteral("Backgrounds"),
                  DuplicateText(QStringLiteral("Backgrounds")),
                  &BackgroundThumbnailName,
                  &BackgroundFile};
  templates_ = {ButtonTemplatesTree_,
                ButtonLabel_,
                ButtonTemplatePic_,
                NoThumb2_,
                QStringLiteral("Button Templates"),
                DuplicateText(QStringLiteral("Button Templates")),
                &TemplateThumbnailName,
                &ButtonTemplateFile};

  connect(BackgroundsTree_, &file_tree::FileTreeControl::Click, this,
          [this](QTreeWidgetItem* oNode, const QString& FilePath, const QString& FileName, bool DuplicateFileName) {
            BackgroundsTree_Click(oNode, FilePath, FileName, DuplicateFileName);
          });
  connect(ButtonTemplatesTree_, &file_tree::FileTreeControl::Click, this,
          [this](QTreeWidgetItem* oNode, const QString& FilePath, const QString& FileName, bool DuplicateFileName) {
            ButtonTemplatesTree_Click(oNode, FilePath, FileName, DuplicateFileName);
          });
  connect(OKButton_, &QPushButton::clicked, this, &Dialog::OKButton_Click);
  connect(CancelButton_, &QPushButton::clicked, this, &Dialog::CancelButton_Click);

  Form_Load();
}

QRect Dialog::at(int left, int top, int width, int height) const {
  return app::window::twipsRect(left, top, width, height, dpi_);
}

QString Dialog::TopPath(const TreeSide& side) const { return programFolder_ + u'/' + side.folder; }

void Dialog::Form_Load() { DialogCanceled = true; }

void Dialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) Form_Activate();
}

void Dialog::Form_Activate() {
  BackgroundsTree_->SetTopPath(TopPath(backgrounds_));
  ButtonTemplatesTree_->SetTopPath(TopPath(templates_));
  // A tree disabled once stays so until the dialog is unloaded: a kept document stays kept.
  if (BuildMenuDoc) DisableTree(backgrounds_);
  if (ButtonTemplateDoc) DisableTree(templates_);
  BackgroundsTree_->Refresh();
  ButtonTemplatesTree_->Refresh();
}

void Dialog::DisableTree(const TreeSide& side) {
  side.tree->SetEnabled(false);
  SetColor(side.label, QPalette::WindowText, kAlreadyLoadedColor);
  side.label->setText(kAlreadyLoaded);
  // The longer caption may not fit the layout's width; nothing lies to the right of it.
  side.label->resize(std::max(side.label->width(), side.label->sizeHint().width()), side.label->height());
}

void Dialog::mouseReleaseEvent(QMouseEvent* event) {
  QDialog::mouseReleaseEvent(event);
  // Only the dialog's own surface: labels pass their clicks on to it.
  if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint())) Form_Click();
}

void Dialog::Form_Click() {
  BackgroundsTree_->Refresh();
  ButtonTemplatesTree_->Refresh();
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
