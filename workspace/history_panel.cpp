#include "workspace/history_panel.h"

#include <QTimer>

#include "workspace/document_edits.h"

namespace workspace {

namespace {
constexpr int kSerialRole = Qt::UserRole;
}

HistoryPanel::HistoryPanel(QWidget* parent) : QListWidget(parent) {
  setObjectName(QStringLiteral("HistoryPanel"));
  connect(this, &QListWidget::currentRowChanged, this, &HistoryPanel::onCurrentRowChanged);
}

void HistoryPanel::setDocument(std::shared_ptr<engine::Document> doc) {
  if (doc != doc_) shown_.reset();
  doc_ = std::move(doc);
  refresh();
}

void HistoryPanel::queueRefresh() {
  if (rebuildQueued_) return;
  rebuildQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    rebuildQueued_ = false;
    refresh();
  });
}

void HistoryPanel::refresh() {
  if (handling_ > 0) return queueRefresh();
  const engine::ContentPtr now = doc_ ? doc_->contentPtr() : nullptr;
  const std::size_t states = doc_ ? doc_->history().size() : 0;
  if (now == shown_ && states == shownStates_ && (now || count() == 0)) return;
  shown_ = now;
  shownStates_ = states;
  rebuilding_ = true;
  clear();
  if (doc_) {
    int current = -1;
    for (const auto& state : doc_->history().states()) {
      auto* item = new QListWidgetItem(QString::fromStdString(state.name), this);
      item->setData(kSerialRole, QVariant::fromValue<qulonglong>(state.serial));
      if (state.serial == doc_->currentState()) current = count() - 1;
    }
    setCurrentRow(current);
    if (current >= 0) scrollToItem(item(current));
  }
  rebuilding_ = false;
}

void HistoryPanel::onCurrentRowChanged(int row) {
  if (rebuilding_ || row < 0 || !doc_ || !engine_) return;
  const auto serial = std::uint64_t(item(row)->data(kSerialRole).toULongLong());
  if (serial == doc_->currentState()) return;
  ++handling_;
  try {
    edits::rewind(*engine_, *doc_, serial);
  } catch (const std::exception& e) {
    if (failed_) failed_(QString::fromStdString(e.what()));
  }
  if (changed_) changed_();
  --handling_;
  queueRefresh();
}

}  // namespace workspace
