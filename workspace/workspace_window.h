#pragma once
// The workspace: the window in which the user sees and edits the engine's documents between
// the workflow's steps. One tab per open document follows the engine's active document both
// ways; the canvas, the Layers and History panels show the active one. Changes made by
// automation are picked up by polling the engine, at most a few times a second while they come
// in, so that a running workflow is not slowed. The window holds no workflow logic.

#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

#include "photoshop/object_model.h"

class QAction;
class QLabel;
class QSettings;
class QTabBar;
class QTimer;

namespace workspace {

class CanvasView;
class ExternalEditor;
class HistoryPanel;
class LayersPanel;
class WorkspaceHost;

class Workspace : public QMainWindow {
  Q_OBJECT

 public:
  // Installs its host in the engine; `settings` keeps the geometry and the last folder.
  Workspace(photoshop::Application app, QSettings& settings, QWidget* parent = nullptr);
  ~Workspace() override;

  // Shows the window where it was last, or beside `mainWindow` the first time.
  void showBeside(const QWidget& mainWindow);
  // Brings the window back and forward (the main window's Window > Workspace).
  void bringForward();
  // Shows what the engine holds now, whatever the polling interval.
  void sync();

  CanvasView& canvas() const { return *canvas_; }
  LayersPanel& layersPanel() const { return *layers_; }
  HistoryPanel& historyPanel() const { return *history_; }
  QTabBar& tabs() const { return *tabs_; }
  WorkspaceHost& host() const { return *host_; }

  // The file commands (workspace_files.cpp); paths given, no dialog shown.
  bool openFile(const QString& path);
  bool saveTo(const QString& path);
  bool exportPng(const QString& path, bool activeLayerOnly);
  // Close with the prompt when the document is modified; false when it stays open.
  bool closeActive();
  // The picture commands (workspace_pictures.cpp), files and colours given.
  bool fillWith(const QColor& colour, bool preserveTransparency);
  bool placePictureFile(const QString& path);
  bool replaceLayerPixelsFrom(const QString& path);
  // Empty `program`: the desktop's handler for PSD files.
  bool editInExternalEditor(const QString& program);
  ExternalEditor& externalEditor() const { return *external_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Shown {
    engine::DocumentId id;
    const void* content;
    bool modified;
    std::string name;
    bool operator==(const Shown&) const = default;
  };

  void createCentral();
  void createDocks();
  void createActions();
  void createFileActions();
  void createEditActions();
  void createViewActions();
  void createPictureActions();
  bool runEdit(const std::function<void(engine::Engine&, engine::Document&)>& change);
  void createMenus();
  QAction* addAction(const QString& caption, const QKeySequence& key, void (Workspace::*slot)());
  void updateTabs();
  void updateActions();
  void onTabClicked(int index);
  void onTabCloseRequested(int index);
  void onChanged();
  void showFailure(const QString& message);
  std::shared_ptr<engine::Document> activeDocument() const;
  std::vector<Shown> snapshot() const;

  // Menu commands.
  void newDocument();
  void open();
  void save();
  void saveAs();
  void exportComposite();
  void exportActiveLayer();
  void closeDocument();
  void undo();
  void redo();
  void freeTransform();
  void commitTransform();
  void cancelTransform();
  void selectAll();
  void deselect();
  void fill();
  void placePicture();
  void replaceLayerPixels();
  void editExternally();
  void fitToWindow();
  void actualPixels();
  void zoomIn();
  void zoomOut();

  photoshop::Application app_;
  QSettings& settings_;
  std::unique_ptr<WorkspaceHost> host_;
  QTabBar* tabs_ = nullptr;
  CanvasView* canvas_ = nullptr;
  LayersPanel* layers_ = nullptr;
  HistoryPanel* history_ = nullptr;
  QLabel* status_ = nullptr;
  QTimer* poll_ = nullptr;
  ExternalEditor* external_ = nullptr;
  QAction* preserveTransparency_ = nullptr;
  std::uint64_t shownChanges_ = ~0ull;
  std::vector<Shown> shown_;
  bool pendingShown_ = false;

  std::vector<QAction*> documentActions_;  // need an open document and no pending transform
  std::vector<QAction*> idleActions_;      // need no pending transform
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* transform_ = nullptr;
  QAction* commit_ = nullptr;
  QAction* cancel_ = nullptr;
  std::vector<QAction*> fileActions_;
  std::vector<QAction*> editActions_;
  std::vector<QAction*> viewActions_;
  std::vector<QAction*> toolActions_;
};

}  // namespace workspace
