#pragma once
// The History panel: the document's states by name, oldest first; a click rewinds the document
// to that state, as setting ActiveHistoryState does.

#include <QListWidget>
#include <functional>
#include <memory>

#include "engine/engine.h"

namespace workspace {

class HistoryPanel : public QListWidget {
  Q_OBJECT

 public:
  explicit HistoryPanel(QWidget* parent = nullptr);

  void setEngine(engine::Engine* eng) { engine_ = eng; }
  void setDocument(std::shared_ptr<engine::Document> doc);
  void refresh();
  // A refresh once the signal being handled has returned: the rebuild deletes the rows.
  void queueRefresh();
  void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }
  void setFailed(std::function<void(const QString&)> failed) { failed_ = std::move(failed); }

 private:
  void onCurrentRowChanged(int row);

  engine::Engine* engine_ = nullptr;
  std::shared_ptr<engine::Document> doc_;
  engine::ContentPtr shown_;
  std::size_t shownStates_ = 0;
  bool rebuilding_ = false;
  int handling_ = 0;  // inside the list's own signal, which a rebuild must not run under
  bool rebuildQueued_ = false;
  std::function<void()> changed_;
  std::function<void(const QString&)> failed_;
};

}  // namespace workspace
