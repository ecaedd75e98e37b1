// The workspace's commands that change what a layer looks like: Fill, Place Picture, Replace
// Layer Pixels and Edit in External Editor.

#include <QAction>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>

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
  QAction* fill = addAction(QStringLiteral("&Fill..."), QKeySequence(Qt::SHIFT | Qt::Key_F5), &Workspace::fill);
  preserveTransparency_ = new QAction(QStringLiteral("Fill Preserves &Transparency"), this);
  preserveTransparency_->setCheckable(true);
  QAction* place = addAction(QStringLiteral("&Place Picture..."), {}, &Workspace::placePicture);
  QAction* replace = addAction(QStringLiteral("Replace Layer &Pixels..."), {}, &Workspace::replaceLayerPixels);
  QAction* external = addAction(QStringLiteral("Edit in E&xternal Editor..."), {}, &Workspace::editExternally);
  for (QAction* a : {static_cast<QAction*>(nullptr), fill, preserveTransparency_, place, replace, external})
    editActions_.push_back(a);
  for (QAction* a : {fill, place, replace, external}) documentActions_.push_back(a);
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
