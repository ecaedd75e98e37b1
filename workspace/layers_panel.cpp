#include "workspace/layers_panel.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QTimer>

#include "workspace/document_edits.h"

namespace workspace {

namespace {

constexpr int kIdRole = Qt::UserRole;

struct LabelChoice {
  engine::ColorLabel label;
  const char* caption;
  QColor colour;
};

// The palette's label colours, as Photoshop shows them.
const LabelChoice kLabels[] = {
    {engine::ColorLabel::None, "No Color", QColor()},
    {engine::ColorLabel::Red, "Red", QColor(238, 126, 126)},
    {engine::ColorLabel::Orange, "Orange", QColor(247, 184, 110)},
    {engine::ColorLabel::Yellow, "Yellow", QColor(245, 228, 128)},
    {engine::ColorLabel::Green, "Green", QColor(152, 211, 141)},
    {engine::ColorLabel::Blue, "Blue", QColor(138, 177, 230)},
    {engine::ColorLabel::Violet, "Violet", QColor(190, 160, 225)},
    {engine::ColorLabel::Gray, "Gray", QColor(190, 190, 190)},
};

QColor labelColour(engine::ColorLabel label) {
  for (const LabelChoice& c : kLabels)
    if (c.label == label) return c.colour;
  return {};
}

QIcon letterIcon(const QString& letter) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(Qt::black);
  p.drawRect(0, 0, 15, 15);
  p.drawText(pm.rect(), Qt::AlignCenter, letter);
  return QIcon(pm);
}

QString kindLetter(const engine::LayerNode& node) {
  if (node.isSet) return {};  // a folder
  switch (node.kind) {
    case engine::LayerKind::Normal: return node.isBackground ? QStringLiteral("B") : QStringLiteral("P");
    case engine::LayerKind::Text: return QStringLiteral("T");
    case engine::LayerKind::SolidFill:
    case engine::LayerKind::GradientFill:
    case engine::LayerKind::PatternFill: return QStringLiteral("F");
    case engine::LayerKind::SmartObject: return QStringLiteral("S");
    default: return QStringLiteral("A");  // adjustment layers and the rest
  }
}

QIcon linkIcon() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.5));
  p.drawRoundedRect(QRectF(1.5, 5.5, 7, 5), 2, 2);
  p.drawRoundedRect(QRectF(7.5, 5.5, 7, 5), 2, 2);
  return QIcon(pm);
}

}  // namespace

LayersPanel::LayersPanel(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("LayersPanel"));
  setColumnCount(3);
  setHeaderHidden(true);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
  header()->setSectionResizeMode(EyeColumn, QHeaderView::ResizeToContents);
  header()->setSectionResizeMode(LinkColumn, QHeaderView::ResizeToContents);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QTreeWidget::itemChanged, this, &LayersPanel::onItemChanged);
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) { onCurrentChanged(current); });
  connect(this, &QTreeWidget::itemDoubleClicked, this, &LayersPanel::onDoubleClicked);
  connect(this, &QWidget::customContextMenuRequested, this, &LayersPanel::showContextMenu);
}

void LayersPanel::setDocument(std::shared_ptr<engine::Document> doc) {
  if (doc != doc_) shown_.reset();
  doc_ = std::move(doc);
  refresh();
}

void LayersPanel::queueRefresh() {
  if (rebuildQueued_) return;
  rebuildQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    rebuildQueued_ = false;
    refresh();
  });
}

void LayersPanel::refresh() {
  if (handling_ > 0) return queueRefresh();
  const engine::ContentPtr now = doc_ ? doc_->contentPtr() : nullptr;
  if (now == shown_ && (now || topLevelItemCount() == 0)) return;
  shown_ = now;
  rebuild();
}

engine::LayerId LayersPanel::idOf(const QTreeWidgetItem* item) {
  return item ? engine::LayerId(item->data(NameColumn, kIdRole).toULongLong()) : 0;
}

QTreeWidgetItem* LayersPanel::itemFor(engine::LayerId id) const {
  for (QTreeWidgetItemIterator it(const_cast<LayersPanel*>(this)); *it; ++it)
    if (idOf(*it) == id) return *it;
  return nullptr;
}

const QIcon& LayersPanel::kindIcon(const engine::LayerNode& node) {
  // Drawn once per kind: the rows are made again after every change a workflow command makes.
  const QString letter = kindLetter(node);
  auto known = kindIcons_.find(letter);
  if (known == kindIcons_.end())
    known = kindIcons_.insert(letter, letter.isEmpty() ? style()->standardIcon(QStyle::SP_DirIcon) : letterIcon(letter));
  return *known;
}

QTreeWidgetItem* LayersPanel::makeRow(const engine::LayerNode& node, engine::LayerId linkedGroupOfActive) {
  auto* item = new QTreeWidgetItem;
  item->setData(NameColumn, kIdRole, QVariant::fromValue<qulonglong>(node.id));
  item->setText(NameColumn, QString::fromStdString(node.name));
  item->setIcon(NameColumn, kindIcon(node));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
  item->setCheckState(EyeColumn, node.visible ? Qt::Checked : Qt::Unchecked);
  item->setToolTip(EyeColumn, QStringLiteral("Visibility"));
  const QColor label = labelColour(node.colorLabel);
  if (label.isValid()) item->setBackground(EyeColumn, label);
  // The mark shows on the layers that move with the active one, as in Photoshop's palette.
  if (node.linkGroup != 0 && node.linkGroup == linkedGroupOfActive) item->setIcon(LinkColumn, linkIcon());
  for (const engine::LayerNode& child : node.children) item->addChild(makeRow(child, linkedGroupOfActive));
  return item;
}

void LayersPanel::rebuild() {
  rebuilding_ = true;
  clear();
  if (shown_) {
    const engine::LayerNode* active = shown_->find(shown_->activeLayer);
    const engine::LayerId group = active ? active->linkGroup : 0;
    for (const engine::LayerNode& node : shown_->layers) addTopLevelItem(makeRow(node, group));
    expandAll();
    if (QTreeWidgetItem* current = itemFor(shown_->activeLayer)) setCurrentItem(current);
  }
  rebuilding_ = false;
}

bool LayersPanel::apply(const std::function<void(engine::Engine&, engine::Document&)>& change) {
  if (!engine_ || !doc_) return false;
  bool ok = true;
  ++handling_;
  try {
    change(*engine_, *doc_);
  } catch (const std::exception& e) {
    ok = false;
    if (failed_) failed_(QString::fromStdString(e.what()));
  }
  if (ok && changed_) changed_();
  --handling_;
  queueRefresh();
  return ok;
}

void LayersPanel::onItemChanged(QTreeWidgetItem* item, int column) {
  if (rebuilding_) return;
  const engine::LayerId id = idOf(item);
  if (column == EyeColumn) {
    const bool visible = item->checkState(EyeColumn) == Qt::Checked;
    apply([&](engine::Engine& e, engine::Document& d) { edits::setVisible(e, d, id, visible); });
  } else if (column == NameColumn) {
    const std::string name = item->text(NameColumn).toStdString();
    if (shown_ && shown_->find(id) && shown_->find(id)->name != name)
      apply([&](engine::Engine& e, engine::Document& d) { edits::rename(e, d, id, name); });
  }
}

void LayersPanel::onCurrentChanged(QTreeWidgetItem* current) {
  if (rebuilding_ || !current || !shown_ || idOf(current) == shown_->activeLayer) return;
  const engine::LayerId id = idOf(current);
  apply([&](engine::Engine& e, engine::Document& d) { edits::setActiveLayer(e, d, id); });
}

void LayersPanel::onDoubleClicked(QTreeWidgetItem* item, int column) {
  if (item && column != EyeColumn) editItem(item, NameColumn);
}

void LayersPanel::addLabelMenu(QMenu& menu, engine::LayerId id) {
  QMenu* labels = menu.addMenu(QStringLiteral("Label Color"));
  for (const LabelChoice& choice : kLabels) {
    QAction* entry = labels->addAction(QString::fromLatin1(choice.caption));
    if (choice.colour.isValid()) {
      QPixmap swatch(12, 12);
      swatch.fill(choice.colour);
      entry->setIcon(QIcon(swatch));
    }
    const engine::ColorLabel label = choice.label;
    connect(entry, &QAction::triggered, this,
            [this, id, label] { apply([&](engine::Engine& e, engine::Document& d) { edits::setLabel(e, d, id, label); }); });
  }
}

void LayersPanel::showContextMenu(const QPoint& position) {
  QTreeWidgetItem* item = itemAt(position);
  if (!item || !shown_) return;
  const engine::LayerId id = idOf(item);
  QMenu menu(this);
  addLabelMenu(menu, id);
  menu.addSeparator();
  using Edit = std::function<void(engine::Engine&, engine::Document&)>;
  auto add = [&](const char* caption, Edit edit, bool enabled = true) {
    QAction* entry = menu.addAction(QString::fromLatin1(caption));
    entry->setEnabled(enabled);
    connect(entry, &QAction::triggered, this, [this, edit] { apply(edit); });
  };
  const engine::LayerNode* node = shown_->find(id);
  add("Link with Active Layer", [id](auto& e, auto& d) { edits::linkWithActive(e, d, id); }, id != shown_->activeLayer);
  add("Unlink Layer", [id](auto& e, auto& d) { edits::unlink(e, d, id); }, node && node->linkGroup != 0);
  menu.addSeparator();
  add("Duplicate Layer", [id](auto& e, auto& d) { edits::duplicate(e, d, id); });
  add("Delete Layer", [id](auto& e, auto& d) { edits::remove(e, d, id); });
  menu.addSeparator();
  add("Move Up", [id](auto& e, auto& d) { edits::restack(e, d, id, true); });
  add("Move Down", [id](auto& e, auto& d) { edits::restack(e, d, id, false); });
  menu.exec(viewport()->mapToGlobal(position));
}

}  // namespace workspace
