#include "workspace/workspace_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QActionGroup>
#include <QElapsedTimer>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "workspace/canvas_view.h"
#include "workspace/document_edits.h"
#include "workspace/history_panel.h"
#include "workspace/layers_panel.h"
#include "workspace/workspace_host.h"

namespace workspace {

namespace {
constexpr int kPollInterval = 50;  // ms between looks at the engine while nothing changes
// A look that had to show changes waits ten times what it and the paints since the previous one
// cost before the next: following a running workflow then takes at most a tenth of its time,
// well inside the 1.2 times the workflow may take with the workspace open.
constexpr qint64 kCostFactor = 10;
const char* const kGeometryKey = "Workspace/Geometry";
}  // namespace

Workspace::Workspace(photoshop::Application app, QSettings& settings, QWidget* parent)
    : QMainWindow(parent), app_(std::move(app)), settings_(settings), host_(std::make_unique<WorkspaceHost>(this, settings)) {
  setObjectName(QStringLiteral("Workspace"));
  setWindowTitle(QStringLiteral("Quillary Workspace"));
  createCentral();
  createDocks();
  createActions();
  createMenus();
  status_ = new QLabel(this);
  statusBar()->addWidget(status_, 1);
  app_.engine().host = host_.get();
  poll_ = new QTimer(this);
  poll_->setInterval(kPollInterval);
  connect(poll_, &QTimer::timeout, this, &Workspace::sync);
  poll_->start();
  resize(1000, 700);
  sync();
}

Workspace::~Workspace() {
  if (isVisible()) settings_.setValue(QString::fromLatin1(kGeometryKey), saveGeometry());
  if (app_.engine().host == host_.get()) app_.engine().host = nullptr;
  if (canvas_->transforming()) canvas_->cancelTransform();
}

void Workspace::showBeside(const QWidget& mainWindow) {
  const QByteArray geometry = settings_.value(QString::fromLatin1(kGeometryKey)).toByteArray();
  if (geometry.isEmpty() || !restoreGeometry(geometry)) {
    const QRect main = mainWindow.frameGeometry();
    move(main.right() + 8, main.top());
  }
  show();
}

void Workspace::bringForward() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void Workspace::closeEvent(QCloseEvent* event) {
  // Closing hides the window; the main window's Window > Workspace brings it back.
  settings_.setValue(QString::fromLatin1(kGeometryKey), saveGeometry());
  event->accept();
}

void Workspace::createCentral() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  tabs_ = new QTabBar(central);
  tabs_->setObjectName(QStringLiteral("DocumentTabs"));
  tabs_->setDocumentMode(true);
  tabs_->setTabsClosable(true);
  tabs_->setExpanding(false);
  connect(tabs_, &QTabBar::currentChanged, this, &Workspace::onTabClicked);
  connect(tabs_, &QTabBar::tabCloseRequested, this, &Workspace::onTabCloseRequested);
  canvas_ = new CanvasView(central);
  canvas_->setEngine(&app_.engine());
  canvas_->setChanged([this] { onChanged(); });
  canvas_->setFailed([this](const QString& m) { showFailure(m); });
  layout->addWidget(tabs_);
  layout->addWidget(canvas_, 1);
  setCentralWidget(central);
}

void Workspace::createDocks() {
  layers_ = new LayersPanel(this);
  history_ = new HistoryPanel(this);
  for (auto* panel : {static_cast<QWidget*>(layers_), static_cast<QWidget*>(history_)}) {
    auto* dock = new QDockWidget(panel == layers_ ? QStringLiteral("Layers") : QStringLiteral("History"), this);
    dock->setObjectName(panel->objectName() + QStringLiteral("Dock"));
    dock->setWidget(panel);
    addDockWidget(Qt::RightDockWidgetArea, dock);
  }
  layers_->setEngine(&app_.engine());
  layers_->setChanged([this] { onChanged(); });
  layers_->setFailed([this](const QString& m) { showFailure(m); });
  history_->setEngine(&app_.engine());
  history_->setChanged([this] { onChanged(); });
  history_->setFailed([this](const QString& m) { showFailure(m); });
}

QAction* Workspace::addAction(const QString& caption, const QKeySequence& key, void (Workspace::*slot)()) {
  auto* action = new QAction(caption, this);
  if (!key.isEmpty()) action->setShortcut(key);
  connect(action, &QAction::triggered, this, slot);
  QMainWindow::addAction(action);
  return action;
}

void Workspace::createActions() {
  createFileActions();
  createEditActions();
  createPictureActions();
  createViewActions();
}

void Workspace::createEditActions() {
  undo_ = addAction(QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), &Workspace::undo);
  redo_ = addAction(QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &Workspace::redo);
  transform_ = addAction(QStringLiteral("Free &Transform"), QKeySequence(Qt::CTRL | Qt::Key_T), &Workspace::freeTransform);
  commit_ = addAction(QStringLiteral("Commit Transform"), QKeySequence(Qt::Key_Return), &Workspace::commitTransform);
  commit_->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  cancel_ = addAction(QStringLiteral("Cancel Transform"), QKeySequence(Qt::Key_Escape), &Workspace::cancelTransform);
  editActions_ = {undo_, redo_, nullptr, transform_, commit_, cancel_};
  auto* tools = new QActionGroup(this);
  const std::pair<const char*, CanvasView::Tool> choices[] = {{"&Move", CanvasView::Tool::Move},
                                                              {"&Rectangle Select", CanvasView::Tool::RectangleSelect},
                                                              {"&Ellipse Select", CanvasView::Tool::EllipseSelect}};
  for (const auto& [caption, tool] : choices) {
    auto* action = tools->addAction(QString::fromLatin1(caption));
    action->setCheckable(true);
    action->setChecked(tool == CanvasView::Tool::Move);
    connect(action, &QAction::triggered, this, [this, tool = tool] { canvas_->setTool(tool); });
    toolActions_.push_back(action);
  }
}

void Workspace::createViewActions() {
  QAction* fit = addAction(QStringLiteral("&Fit on Screen"), QKeySequence(Qt::CTRL | Qt::Key_0), &Workspace::fitToWindow);
  QAction* actual = addAction(QStringLiteral("&Actual Pixels (100 %)"), QKeySequence(Qt::CTRL | Qt::Key_1), &Workspace::actualPixels);
  QAction* in = addAction(QStringLiteral("Zoom &In"), QKeySequence::ZoomIn, &Workspace::zoomIn);
  in->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  QAction* out = addAction(QStringLiteral("Zoom &Out"), QKeySequence::ZoomOut, &Workspace::zoomOut);
  viewActions_ = {fit, actual, in, out};
}

void Workspace::createMenus() {
  auto fill = [](QMenu* menu, const std::vector<QAction*>& actions) {
    for (QAction* a : actions) {
      if (a) menu->addAction(a);
      else menu->addSeparator();
    }
  };
  fill(menuBar()->addMenu(QStringLiteral("&File")), fileActions_);
  fill(menuBar()->addMenu(QStringLiteral("&Edit")), editActions_);
  fill(menuBar()->addMenu(QStringLiteral("&View")), viewActions_);
  fill(menuBar()->addMenu(QStringLiteral("&Tools")), toolActions_);
  QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
  for (QDockWidget* dock : findChildren<QDockWidget*>()) window->addAction(dock->toggleViewAction());
}

std::shared_ptr<engine::Document> Workspace::activeDocument() const {
  return app_.engine().activeDocument();
}

std::vector<Workspace::Shown> Workspace::snapshot() const {
  std::vector<Shown> out;
  for (const auto& doc : app_.engine().documents())
    out.push_back({doc->id(), doc->contentPtr().get(), doc->modified(), doc->name()});
  return out;
}

void Workspace::sync() {
  QElapsedTimer cost;
  cost.start();
  const qint64 paintCost = canvas_->takePaintCost();
  engine::Engine& eng = app_.engine();
  std::vector<Shown> now = snapshot();
  if (now == shown_ && eng.changeCount() == shownChanges_ && eng.pendingEdit == pendingShown_) return;
  shown_ = std::move(now);
  shownChanges_ = eng.changeCount();
  pendingShown_ = eng.pendingEdit;
  updateTabs();
  const auto doc = activeDocument();
  canvas_->setDocument(doc);
  layers_->setDocument(doc);
  history_->setDocument(doc);
  updateActions();
  // Painted now, so that what the look costs includes its paints.
  QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
  const qint64 spentMs = (cost.nsecsElapsed() + paintCost) / 1000000;
  poll_->setInterval(int(std::clamp<qint64>(kCostFactor * spentMs, kPollInterval, 10 * 1000)));
}

void Workspace::onChanged() {
  status_->clear();
  sync();
}

void Workspace::showFailure(const QString& message) {
  status_->setText(message);
  sync();
}

void Workspace::updateTabs() {
  const QSignalBlocker blocker(tabs_);
  const auto& docs = app_.engine().documents();
  while (tabs_->count() > int(docs.size())) tabs_->removeTab(tabs_->count() - 1);
  while (tabs_->count() < int(docs.size())) tabs_->addTab(QString());
  const auto active = activeDocument();
  for (std::size_t i = 0; i < docs.size(); ++i) {
    const QString name = QString::fromStdString(docs[i]->name());
    tabs_->setTabText(int(i), docs[i]->modified() ? name + QStringLiteral("*") : name);
    tabs_->setTabData(int(i), QVariant::fromValue<qulonglong>(docs[i]->id()));
    tabs_->setTabToolTip(int(i), QString::fromStdString(docs[i]->filePath()));
    if (docs[i] == active) tabs_->setCurrentIndex(int(i));
  }
}

void Workspace::updateActions() {
  const auto doc = activeDocument();
  const bool pending = app_.engine().pendingEdit;
  const bool usable = doc && !pending;
  for (QAction* a : documentActions_) a->setEnabled(usable);
  for (QAction* a : idleActions_) a->setEnabled(!pending);
  const auto& states = doc ? doc->history().states() : decltype(doc->history().states()){};
  const bool atFirst = states.empty() || states.front().serial == doc->currentState();
  const bool atLast = states.empty() || states.back().serial == doc->currentState();
  undo_->setEnabled(usable && !atFirst);
  redo_->setEnabled(usable && !atLast);
  transform_->setEnabled(usable);
  commit_->setEnabled(canvas_->transforming());
  cancel_->setEnabled(canvas_->transforming());
  tabs_->setEnabled(!pending);
  layers_->setEnabled(!pending);
  history_->setEnabled(!pending);
  setWindowTitle(doc ? QStringLiteral("%1 - Quillary Workspace").arg(QString::fromStdString(doc->name()))
                     : QStringLiteral("Quillary Workspace"));
}

void Workspace::onTabClicked(int index) {
  if (index < 0) return;
  const auto id = engine::DocumentId(tabs_->tabData(index).toULongLong());
  engine::Engine& eng = app_.engine();
  if (eng.pendingEdit || !eng.findDocument(id)) return sync();
  if (eng.activeDocument() && eng.activeDocument()->id() == id) return;
  eng.activate(id);
  sync();
}

void Workspace::onTabCloseRequested(int index) {
  onTabClicked(index);
  closeDocument();
}

void Workspace::undo() {
  if (auto doc = activeDocument(); doc && !app_.engine().pendingEdit) edits::stepHistory(app_.engine(), *doc, -1);
  onChanged();
}

void Workspace::redo() {
  if (auto doc = activeDocument(); doc && !app_.engine().pendingEdit) edits::stepHistory(app_.engine(), *doc, 1);
  onChanged();
}

void Workspace::freeTransform() {
  canvas_->beginTransform();
  sync();
}

void Workspace::commitTransform() {
  canvas_->commitTransform();
  sync();
}

void Workspace::cancelTransform() {
  canvas_->cancelTransform();
  sync();
}

void Workspace::fitToWindow() { canvas_->fitToWindow(); }
void Workspace::actualPixels() { canvas_->actualPixels(); }
void Workspace::zoomIn() { canvas_->zoomBy(1.25); }
void Workspace::zoomOut() { canvas_->zoomBy(0.8); }

}  // namespace workspace
