#pragma once
// Shows the files below one top folder as a tree: subfolders as folder nodes, files as leaves,
// to a limited folder depth, with chosen folder names left out. File names without their
// extension must be unique within the tree (thumbnails are looked up by that name); files that
// collide are tagged "Duplicate", shown in red, and a click on one tells the host so.

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>

class QTreeWidget;
class QTreeWidgetItem;

namespace support {
class ParseDelimetedStr;
}

namespace file_tree {

class FileTreeControl : public QWidget {
  Q_OBJECT

 public:
  static inline const QColor kEnabledBackColor{232, 240, 240};
  static inline const QColor kEnabledTextColor{0, 0, 0};
  static inline const QColor kDisabledBackColor{224, 224, 216};
  static inline const QColor kDisabledTextColor{144, 144, 144};
  static inline const QColor kDuplicateBackColor{240, 48, 48};
  static inline const QString kDuplicateTag = QStringLiteral("Duplicate");
  // Text in front of a folder's name; a node whose text starts with it is a folder.
  static inline const QString kFolderTextPrefix = QStringLiteral("..\\");

  explicit FileTreeControl(QWidget* parent = nullptr);
  ~FileTreeControl() override;

  // Colours the tree and its nodes (duplicates stay red) without changing the colour the tree
  // returns to on the next rebuild.
  void SetBackgroundColor(const QColor& BackgroundColor);
  // The node whose key is exactly sKey (case-sensitive), or nullptr.
  QTreeWidgetItem* FindNode(const QString& sKey) const;

  QString TopPath() const { return TopPath_; }
  // Rebuilds the tree from the folder and selects its first node.
  void SetTopPath(const QString& vNewValue);
  QString FilterPath() const { return FilterPath_; }
  // A subfolder whose name occurs anywhere in this text is left out with all below it; takes
  // effect at the next SetTopPath.
  void SetFilterPath(const QString& vNewValue);
  bool Enabled() const;
  void SetEnabled(bool vNewValue);
  // Repaints the tree; the folders are not read again.
  void Refresh();
  std::int32_t MaxRecursionDepth() const { return MaxRecursionDepth_; }
  // Number of folder levels whose contents are listed; takes effect at the next SetTopPath.
  void SetMaxRecursionDepth(std::int32_t vNewValue);

  QTreeWidget* TreeView1() const { return TreeView1_; }
  QColor TreeBackColor() const;
  QColor TreeTextColor() const;

  static QString NodeKey(const QTreeWidgetItem* node);
  static QString NodeTag(const QTreeWidgetItem* node);
  // "Closed", "Opened" or "File".
  static QString NodeImage(const QTreeWidgetItem* node);
  static QColor NodeBackColor(const QTreeWidgetItem* node);
  static QColor NodeTextColor(const QTreeWidgetItem* node);
  // Gives the node a new key ("" for none); refused, returning false, when another node holds it.
  bool SetNodeKey(QTreeWidgetItem* node, const QString& key);
  static void SetNodeTag(QTreeWidgetItem* node, const QString& tag);

 signals:
  // A file node was clicked. FilePath is its folder (TopPath for files directly in it): the
  // file is FilePath + "/" + FileName.
  void Click(QTreeWidgetItem* oNode, const QString& FilePath, const QString& FileName, bool DuplicateFileName);

 private:
  void AddFolderNodes(const QString& Path, QTreeWidgetItem* folderNode, QStringList& openFolders);
  void AddFileNodes(const QString& Path, QTreeWidgetItem* folderNode);
  QTreeWidgetItem* AddNode(QTreeWidgetItem* parentNode, const QString& key, const QString& text,
                           const QString& image);
  QString FolderName(const QString& fullPath);
  void ApplyBackColor(const QColor& color);
  void SetTreeColors(const QColor& textColor, const QColor& backColor);
  void SetTreePalette(const QColor* textColor, const QColor& backColor);
  void SetNodeImage(QTreeWidgetItem* node, const QString& image);
  void TreeView1_NodeClick(QTreeWidgetItem* node);

  QTreeWidget* TreeView1_;
  QHash<QString, QIcon> ImageList1_;
  QHash<QString, QTreeWidgetItem*> nodesByKey_;
  std::unique_ptr<support::ParseDelimetedStr> PathParser_;
  QString TopPath_;
  QString FilterPath_;
  std::int32_t MaxRecursionDepth_ = 3;
  std::int32_t NestingLevel_ = 0;
  QColor CurrentBackColor_ = kEnabledBackColor;
};

}  // namespace file_tree
