#pragma once
// The Layers panel: the document's tree of sets and layers, top first, with a visibility eye,
// the label colour, a link mark and a kind icon on each row. A click makes the layer active, a
// double-click renames it, and the context menu labels, links, duplicates, deletes and restacks.

#include <QHash>
#include <QIcon>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "engine/engine.h"

namespace workspace {

class LayersPanel : public QTreeWidget {
  Q_OBJECT

 public:
  enum Column { EyeColumn = 0, NameColumn = 1, LinkColumn = 2 };

  explicit LayersPanel(QWidget* parent = nullptr);

  void setEngine(engine::Engine* eng) { engine_ = eng; }
  void setDocument(std::shared_ptr<engine::Document> doc);
  // Rebuilds the rows when the document's content differs from what they show.
  void refresh();
  // A refresh once the signal being handled has returned: the rebuild deletes the rows.
  void queueRefresh();
  void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }
  void setFailed(std::function<void(const QString&)> failed) { failed_ = std::move(failed); }

  QTreeWidgetItem* itemFor(engine::LayerId id) const;
  static engine::LayerId idOf(const QTreeWidgetItem* item);

 private:
  void rebuild();
  const QIcon& kindIcon(const engine::LayerNode& node);
  QTreeWidgetItem* makeRow(const engine::LayerNode& node, engine::LayerId linkedGroupOfActive);
  void onItemChanged(QTreeWidgetItem* item, int column);
  void onCurrentChanged(QTreeWidgetItem* current);
  void onDoubleClicked(QTreeWidgetItem* item, int column);
  void showContextMenu(const QPoint& position);
  void addLabelMenu(QMenu& menu, engine::LayerId id);
  bool apply(const std::function<void(engine::Engine&, engine::Document&)>& change);

  engine::Engine* engine_ = nullptr;
  std::shared_ptr<engine::Document> doc_;
  engine::ContentPtr shown_;
  bool rebuilding_ = false;
  int handling_ = 0;  // inside a signal of one of the rows, which a rebuild would delete
  bool rebuildQueued_ = false;
  std::function<void()> changed_;
  std::function<void(const QString&)> failed_;
  QHash<QString, QIcon> kindIcons_;  // by the kind's letter; the folder under ""
};

}  // namespace workspace
