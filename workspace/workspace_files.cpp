// The workspace's File menu: New, Open, Save, Save As, Export PNG and Close. Opening and saving
// go through the automation layer, so that documents open and save exactly as the workflow's.

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

#include "engine/errors.h"
#include "engine/operations.h"
#include "formats/document_io.h"
#include "workspace/canvas_view.h"
#include "workspace/workspace_host.h"
#include "workspace/workspace_window.h"

namespace workspace {

namespace {

struct NewSize {
  int width = 720;
  int height = 480;
  double resolution = 72;
};

std::optional<NewSize> askNewSize(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("New"));
  auto* form = new QFormLayout(&dialog);
  auto spin = [&](const char* label, int max, int value) {
    auto* box = new QSpinBox(&dialog);
    box->setRange(1, max);
    box->setValue(value);
    form->addRow(QString::fromLatin1(label), box);
    return box;
  };
  NewSize size;
  QSpinBox* width = spin("Width (pixels):", engine::kMaxSide, size.width);
  QSpinBox* height = spin("Height (pixels):", engine::kMaxSide, size.height);
  QSpinBox* resolution = spin("Resolution (pixels/inch):", 29999, int(size.resolution));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return NewSize{width->value(), height->value(), double(resolution->value())};
}

const char* const kOpenFilter =
    "Documents and pictures (*.psd *.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff);;All files (*)";

}  // namespace

void Workspace::createFileActions() {
  QAction* create = addAction(QString::fromUtf8("&New\u2026"), QKeySequence::New, &Workspace::newDocument);
  QAction* open = addAction(QString::fromUtf8("&Open\u2026"), QKeySequence::Open, &Workspace::open);
  QAction* save = addAction(QStringLiteral("&Save"), QKeySequence::Save, &Workspace::save);
  QAction* saveAs = addAction(QString::fromUtf8("Save &As\u2026"), QKeySequence::SaveAs, &Workspace::saveAs);
  QAction* composite = addAction(QString::fromUtf8("Export PNG (&Composite)\u2026"), {}, &Workspace::exportComposite);
  QAction* layer = addAction(QString::fromUtf8("Export PNG (Active &Layer)\u2026"), {}, &Workspace::exportActiveLayer);
  QAction* close = addAction(QStringLiteral("&Close"), QKeySequence::Close, &Workspace::closeDocument);
  fileActions_ = {create, open, nullptr, save, saveAs, composite, layer, nullptr, close};
  documentActions_ = {save, saveAs, composite, layer, close};
  idleActions_ = {create, open};
}

void Workspace::newDocument() {
  const auto size = askNewSize(this);
  if (!size) return;
  engine::Engine& eng = app_.engine();
  engine::DocumentContent content;
  content.width = size->width;
  content.height = size->height;
  content.resolution = size->resolution;
  engine::LayerNode background = engine::LayerNode::artLayer("Background");
  background.isBackground = true;
  background.pixels = engine::Raster::filled(content.canvas(), engine::Rgb{255, 255, 255});
  content.activeLayer = background.id;
  content.layers.push_back(std::move(background));
  eng.addDocument(eng.untitledName(), std::move(content), "New");
  onChanged();
}

bool Workspace::openFile(const QString& path) {
  try {
    app_.Open(path.toStdString());
  } catch (const photoshop::AutomationError& e) {
    showFailure(QString::fromStdString(e.Description()));
    return false;
  }
  host_->rememberFolder(path);
  onChanged();
  return true;
}

void Workspace::open() {
  const QString path =
      QFileDialog::getOpenFileName(this, QStringLiteral("Open"), host_->lastFolder(), QString::fromLatin1(kOpenFilter));
  if (!path.isEmpty()) openFile(path);
}

bool Workspace::saveTo(const QString& path) {
  const auto doc = activeDocument();
  if (!doc) return false;
  try {
    app_.documentFor(doc).SaveAs(path.toStdString(), photoshop::PhotoshopSaveOptions{});
  } catch (const photoshop::AutomationError& e) {
    showFailure(QString::fromStdString(e.Description()));
    return false;
  }
  host_->rememberFolder(path);
  onChanged();
  return true;
}

void Workspace::save() {
  const auto doc = activeDocument();
  if (!doc) return;
  const QString path = QString::fromStdString(doc->filePath());
  // Pictures opened as documents are saved as new PSD files, never over the picture.
  if (path.isEmpty() || !path.endsWith(QStringLiteral(".psd"), Qt::CaseInsensitive)) return saveAs();
  saveTo(path);
}

void Workspace::saveAs() {
  const auto doc = activeDocument();
  if (!doc) return;
  if (const auto chosen = host_->chooseSavePath(doc->name())) saveTo(QString::fromStdString(*chosen));
}

bool Workspace::exportPng(const QString& path, bool activeLayerOnly) {
  const auto doc = activeDocument();
  if (!doc) return false;
  try {
    engine::DocumentContent content = doc->content();
    if (activeLayerOnly) {
      engine::LayerNode active = content.layer(content.activeLayer);
      active.visible = true;
      content.layers = {std::move(active)};
    }
    formats::writePng(content, path.toStdString());
  } catch (const std::exception& e) {
    showFailure(QString::fromStdString(e.what()));
    return false;
  }
  host_->rememberFolder(path);
  status_->setText(QStringLiteral("Exported %1").arg(QFileInfo(path).fileName()));
  return true;
}

void Workspace::exportComposite() {
  const auto doc = activeDocument();
  if (!doc) return;
  const QString proposed = host_->lastFolder() + QLatin1Char('/') + QFileInfo(QString::fromStdString(doc->name())).completeBaseName() + QStringLiteral(".png");
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export PNG"), proposed, QStringLiteral("PNG pictures (*.png)"));
  if (!path.isEmpty()) exportPng(path, false);
}

void Workspace::exportActiveLayer() {
  const auto doc = activeDocument();
  if (!doc) return;
  const QString proposed = host_->lastFolder() + QLatin1Char('/') + QString::fromStdString(doc->content().layer(doc->content().activeLayer).name) + QStringLiteral(".png");
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export PNG"), proposed, QStringLiteral("PNG pictures (*.png)"));
  if (!path.isEmpty()) exportPng(path, true);
}

bool Workspace::closeActive() {
  const auto doc = activeDocument();
  if (!doc) return false;
  try {
    app_.documentFor(doc).Close();
  } catch (const photoshop::AutomationError& e) {
    if (e.Number() != std::int32_t(engine::ErrorCode::Cancelled)) showFailure(QString::fromStdString(e.Description()));
    onChanged();
    return false;
  }
  onChanged();
  return true;
}

void Workspace::closeDocument() { closeActive(); }

}  // namespace workspace
