#include "file_tree/file_tree_control.h"

#include <QDir>
#include <QFileInfo>
#include <QPalette>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>

#include "file_tree/tree_images.h"
#include "support/parse_delimeted_str.h"
#include "support/raised_error.h"

namespace file_tree {
namespace {

enum NodeRole { kKeyRole = Qt::UserRole, kTagRole, kImageRole };

// Folders and files are listed alphabetically, ignoring case. The listings never ask for
// QDir::Hidden, so hidden folders and files are left out.
constexpr QDir::SortFlags kListOrder = QDir::Name | QDir::IgnoreCase;

}  // namespace

FileTreeControl::FileTreeControl(QWidget* parent)
    : QWidget(parent), TreeView1_(new QTreeWidget(this)), ImageList1_(MakeTreeImages()) {
  TreeView1_->setObjectName(QStringLiteral("TreeView1"));
  TreeView1_->setColumnCount(1);
  TreeView1_->setHeaderHidden(true);
  TreeView1_->setIconSize(QSize(16, 16));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(TreeView1_);
  setFocusProxy(TreeView1_);

  connect(TreeView1_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { TreeView1_NodeClick(node); });
  connect(TreeView1_, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* node) { SetNodeImage(node, kOpenedImage); });
  connect(TreeView1_, &QTreeWidget::itemCollapsed, this,
          [this](QTreeWidgetItem* node) { SetNodeImage(node, kClosedImage); });

  SetTreeColors(kEnabledTextColor, CurrentBackColor_);
  ApplyBackColor(CurrentBackColor_);
}

FileTreeControl::~FileTreeControl() = default;

void FileTreeControl::SetBackgroundColor(const QColor& BackgroundColor) { ApplyBackColor(BackgroundColor); }

QTreeWidgetItem* FileTreeControl::FindNode(const QString& sKey) const {
  if (sKey.isEmpty()) return nullptr;
  return nodesByKey_.value(sKey, nullptr);
}

void FileTreeControl::SetTopPath(const QString& vNewValue) {
  TopPath_ = vNewValue;
  TreeView1_->clear();
  nodesByKey_.clear();
  NestingLevel_ = 0;
  if (!TopPath_.isEmpty()) {
    QStringList openFolders{QFileInfo(TopPath_).canonicalFilePath()};
    AddFolderNodes(TopPath_, nullptr, openFolders);
  }
  if (TreeView1_->topLevelItemCount() > 0) TreeView1_->setCurrentItem(TreeView1_->topLevelItem(0));
  // Duplicates are red only while the tree takes input; a disabled tree stays all grey.
  if (Enabled())
    ApplyBackColor(CurrentBackColor_);
  else
    SetTreeColors(kDisabledTextColor, CurrentBackColor_);
  Refresh();
}

void FileTreeControl::SetFilterPath(const QString& vNewValue) { FilterPath_ = vNewValue; }

// The tree's own state, whether or not the host window around it is disabled.
bool FileTreeControl::Enabled() const { return TreeView1_->isEnabledTo(this); }

void FileTreeControl::SetEnabled(bool vNewValue) {
  TreeView1_->setEnabled(vNewValue);
  if (vNewValue) {
    CurrentBackColor_ = kEnabledBackColor;
    SetTreeColors(kEnabledTextColor, CurrentBackColor_);
    ApplyBackColor(CurrentBackColor_);
  } else {
    CurrentBackColor_ = kDisabledBackColor;
    SetTreeColors(kDisabledTextColor, CurrentBackColor_);
  }
  Refresh();
}

void FileTreeControl::Refresh() { TreeView1_->viewport()->update(); }

void FileTreeControl::SetMaxRecursionDepth(std::int32_t vNewValue) { MaxRecursionDepth_ = vNewValue; }

QColor FileTreeControl::TreeBackColor() const { return TreeView1_->palette().color(QPalette::Base); }

QColor FileTreeControl::TreeTextColor() const { return TreeView1_->palette().color(QPalette::Text); }

QString FileTreeControl::NodeKey(const QTreeWidgetItem* node) { return node->data(0, kKeyRole).toString(); }

QString FileTreeControl::NodeTag(const QTreeWidgetItem* node) { return node->data(0, kTagRole).toString(); }

QString FileTreeControl::NodeImage(const QTreeWidgetItem* node) { return node->data(0, kImageRole).toString(); }

QColor FileTreeControl::NodeBackColor(const QTreeWidgetItem* node) { return node->background(0).color(); }

QColor FileTreeControl::NodeTextColor(const QTreeWidgetItem* node) { return node->foreground(0).color(); }

bool FileTreeControl::SetNodeKey(QTreeWidgetItem* node, const QString& key) {
  QTreeWidgetItem* holder = FindNode(key);
  if (holder && holder != node) return false;
  nodesByKey_.remove(NodeKey(node));
  node->setData(0, kKeyRole, key);
  if (!key.isEmpty()) nodesByKey_.insert(key, node);
  return true;
}

void FileTreeControl::SetNodeTag(QTreeWidgetItem* node, const QString& tag) { node->setData(0, kTagRole, tag); }

void FileTreeControl::AddFolderNodes(const QString& Path, QTreeWidgetItem* folderNode, QStringList& openFolders) {
  ++NestingLevel_;
  // Deeper folders keep their own node but get no children.
  if (NestingLevel_ <= MaxRecursionDepth_) {
    // A folder that cannot be read lists as empty, so the tree keeps whatever it could list.
    const QFileInfoList subfolders = QDir(Path).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, kListOrder);
    for (const QFileInfo& subfolder : subfolders) {
      const QString fullPath = subfolder.filePath();
      const QString name = FolderName(fullPath);
      if (name.isEmpty() || FilterPath_.contains(name, Qt::CaseSensitive)) continue;
      QTreeWidgetItem* node = AddNode(folderNode, fullPath, kFolderTextPrefix + name, kClosedImage);
      // A folder reached again through a symbolic link keeps its node but is not listed a
      // second time inside itself, so a link loop cannot recurse without end.
      const QString canonicalPath = subfolder.canonicalFilePath();
      if (!node || canonicalPath.isEmpty() || openFolders.contains(canonicalPath)) continue;
      openFolders.append(canonicalPath);
      AddFolderNodes(fullPath, node, openFolders);
      openFolders.removeLast();
    }
    AddFileNodes(Path, folderNode);
  }
  --NestingLevel_;
}

void FileTreeControl::AddFileNodes(const QString& Path, QTreeWidgetItem* folderNode) {
  const QStringList files = QDir(Path).entryList(QDir::Files, kListOrder);
  for (const QString& F : files) {
    // The key is the name without a three-letter extension and its dot; a name of four
    // characters or fewer has nothing left and gets no key.
    const QString B = F.left(std::max<qsizetype>(F.size() - 4, 0));
    if (AddNode(folderNode, B, F, kFileImage)) continue;
    // Another file already holds the key: both are marked, and the key is freed.
    SetNodeTag(AddNode(folderNode, QString(), F, kFileImage), kDuplicateTag);
    QTreeWidgetItem* holder = nodesByKey_.take(B);
    SetNodeTag(holder, kDuplicateTag);
    holder->setData(0, kKeyRole, QString());
  }
}

QTreeWidgetItem* FileTreeControl::AddNode(QTreeWidgetItem* parentNode, const QString& key, const QString& text,
                                          const QString& image) {
  if (!key.isEmpty() && nodesByKey_.contains(key)) return nullptr;
  auto* node = parentNode ? new QTreeWidgetItem(parentNode) : new QTreeWidgetItem(TreeView1_);
  node->setText(0, text);
  node->setData(0, kKeyRole, key);
  node->setData(0, kTagRole, QString());
  SetNodeImage(node, image);
  if (!key.isEmpty()) nodesByKey_.insert(key, node);
  return node;
}

QString FileTreeControl::FolderName(const QString& fullPath) {
  if (!PathParser_) PathParser_ = std::make_unique<support::ParseDelimetedStr>();
  try {
    PathParser_->SetString(fullPath, QStringLiteral("/"));
    return PathParser_->Last();
  } catch (const support::RaisedError&) {
    return {};
  }
}

void FileTreeControl::ApplyBackColor(const QColor& color) {
  SetTreePalette(nullptr, color);
  for (QTreeWidgetItemIterator it(TreeView1_); *it; ++it)
    (*it)->setBackground(0, NodeTag(*it) == kDuplicateTag ? kDuplicateBackColor : color);
}

void FileTreeControl::SetTreeColors(const QColor& textColor, const QColor& backColor) {
  SetTreePalette(&textColor, backColor);
  for (QTreeWidgetItemIterator it(TreeView1_); *it; ++it) {
    (*it)->setBackground(0, backColor);
    (*it)->setForeground(0, textColor);
  }
}

void FileTreeControl::SetTreePalette(const QColor* textColor, const QColor& backColor) {
  // Every colour group, so a disabled tree shows these colours rather than the style's greys.
  QPalette palette = TreeView1_->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, backColor);
    if (textColor) palette.setColor(group, QPalette::Text, *textColor);
  }
  TreeView1_->setPalette(palette);
}

void FileTreeControl::SetNodeImage(QTreeWidgetItem* node, const QString& image) {
  node->setData(0, kImageRole, image);
  node->setIcon(0, ImageList1_.value(image));
}

void FileTreeControl::TreeView1_NodeClick(QTreeWidgetItem* node) {
  if (!node || node->text(0).startsWith(kFolderTextPrefix)) return;
  QTreeWidgetItem* folderNode = node->parent();
  emit Click(node, folderNode ? NodeKey(folderNode) : TopPath_, node->text(0), NodeTag(node) == kDuplicateTag);
}

}  // namespace file_tree
