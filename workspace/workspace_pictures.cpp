// The workspace's commands that change what a layer looks like: Fill, Place Picture, Replace
// Layer Pixels and Edit in External Editor.

#include <QAction>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>

#include "engine/operations.h"
#include "workspace/external_editor.h"
#include "workspace/picture_edits.h"
#include "workspace/workspace_host.h"
#include "workspace/workspace_window.h"

namespace workspace {

namespace {
const char* const kPictureFilter = "Pictures and documents (*.png *.jpg *.jpeg *.psd);;All files (*)";
}

void Workspace::createPictureActions() {
  external_ = new ExternalEditor(app_.engine(), settings_, this);
  external_->changed = [this] { onChanged(); };
  external_->failed = [this](const QString& m) { showFailure(m); };
  QAction* fill = addAction(QString::fromUtf8("&Fill\u2026"), QKeySequence(Qt::SHIFT | Qt::Key_F5), &Workspace::fill);
  preserveTransparency_ = new QAction(QStringLiteral("Fill Preserves &Transparency"), this);
  preserveTransparency_->setCheckable(true);
  QAction* place = addAction(QString::fromUtf8("&Place Picture\u2026"), {}, &Workspace::placePicture);
  QAction* replace = addAction(QString::fromUtf8("Replace Layer &Pixels\u2026"), {}, &Workspace::replaceLayerPixels);
  QAction* external = addAction(QString::fromUtf8("Edit in E&xternal Editor\u2026"), {}, &Workspace::editExternally);
  QAction* all = addAction(QStringLiteral("Select &All"), QKeySequence::SelectAll, &Workspace::selectAll);
  QAction* none = addAction(QStringLiteral("&Deselect"), QKeySequence(Qt::CTRL | Qt::Key_D), &Workspace::deselect);
  QAction* const separator = nullptr;
  for (QAction* a : {separator, all, none, separator, fill, preserveTransparency_, place, replace, external})
    editActions_.push_back(a);
  for (QAction* a : {all, none, fill, place, replace, external}) documentActions_.push_back(a);
}

void Workspace::selectAll() {
  runEdit([](engine::Engine& e, engine::Document& d) {
    d.edit("Select All", [](engine::DocumentContent& c) { engine::selectAll(c); });
    e.noteChange();
  });
}

void Workspace::deselect() {
  runEdit([](engine::Engine& e, engine::Document& d) {
    if (!d.content().hasSelection()) return;
    d.edit("Deselect", [](engine::DocumentContent& c) { engine::deselect(c); });
    e.noteChange();
  });
}

bool Workspace::runEdit(const std::function<void(engine::Engine&, engine::Document&)>& change) {
  const auto doc = activeDocument();
  if (!doc || app_.engine().pendingEdit) return false;
  try {
    change(app_.engine(), *doc);
  } catch (const std::exception& e) {
    showFailure(QString::fromStdString(e.what()));
    return false;
  }
  onChanged();
  return true;
}

bool Workspace::fillWith(const QColor& colour, bool preserveTransparency) {
  const engine::Rgb rgb{std::uint8_t(colour.red()), std::uint8_t(colour.green()), std::uint8_t(colour.blue())};
  return runEdit([&](engine::Engine& e, engine::Document& d) { edits::fill(e, d, rgb, preserveTransparency); });
}

void Workspace::fill() {
  const engine::Rgb fg = app_.engine().foreground;
  const QColor colour = QColorDialog::getColor(QColor(fg.r, fg.g, fg.b), this, QStringLiteral("Fill"));
  if (colour.isValid()) fillWith(colour, preserveTransparency_->isChecked());
}

bool Workspace::placePictureFile(const QString& path) {
  host_->rememberFolder(path);
  return runEdit([&](engine::Engine& e, engine::Document& d) { edits::placePicture(e, d, path.toStdString()); });
}

bool Workspace::replaceLayerPixelsFrom(const QString& path) {
  host_->rememberFolder(path);
  return runEdit([&](engine::Engine& e, engine::Document& d) { edits::replaceLayerPixels(e, d, path.toStdString()); });
}

void Workspace::placePicture() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Place Picture"), host_->lastFolder(),
                                                    QString::fromLatin1(kPictureFilter));
  if (!path.isEmpty()) placePictureFile(path);
}

void Workspace::replaceLayerPixels() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Replace Layer Pixels"), host_->lastFolder(),
                                                    QString::fromLatin1(kPictureFilter));
  if (!path.isEmpty()) replaceLayerPixelsFrom(path);
}

bool Workspace::editInExternalEditor(const QString& program) {
  const auto doc = activeDocument();
  if (!doc || app_.engine().pendingEdit) return false;
  external_->setProgram(program);
  QString error;
  if (!external_->edit(doc, error)) {
    showFailure(error);
    return false;
  }
  status_->setText(QStringLiteral("Editing %1 outside; saving it there updates the document here.")
                       .arg(QString::fromStdString(doc->name())));
  return true;
}

void Workspace::editExternally() {
  bool ok = false;
  const QString program = QInputDialog::getText(
      this, QStringLiteral("Edit in External Editor"),
      QStringLiteral("Program to edit the PSD file with (empty: the desktop's program for PSD files):"),
      QLineEdit::Normal, external_->program(), &ok);
  if (ok) editInExternalEditor(program.trimmed());
}

}  // namespace workspace
