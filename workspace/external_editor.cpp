#include "workspace/external_editor.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QUrl>

#include "formats/document_io.h"
#include "workspace/picture_edits.h"

namespace workspace {

namespace {
const char* const kProgramKey = "Workspace/ExternalEditor";
constexpr int kSettleMs = 300;
}  // namespace

ExternalEditor::ExternalEditor(engine::Engine& eng, QSettings& settings, QObject* parent)
    : QObject(parent), engine_(eng), settings_(settings) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &ExternalEditor::readBackChanged);
  // Many editors save by writing a new file and renaming it over the old one, which ends the
  // watch on the file; the folder's watch sees that too.
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { settle_.start(); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_.start(); });
}

QString ExternalEditor::program() const {
  return settings_.value(QString::fromLatin1(kProgramKey)).toString();
}

void ExternalEditor::setProgram(const QString& program) {
  settings_.setValue(QString::fromLatin1(kProgramKey), program);
}

QString ExternalEditor::fileFor(const engine::Document& doc) const {
  QString name = QString::fromStdString(doc.name());
  name.replace(QLatin1Char('/'), QLatin1Char('_'));
  if (!name.endsWith(QStringLiteral(".psd"), Qt::CaseInsensitive)) name += QStringLiteral(".psd");
  return folder_.filePath(QString::number(doc.id()) + QLatin1Char('/') + name);
}

bool ExternalEditor::launch(const QString& path, QString& error) const {
  const QString chosen = program();
  const bool started = chosen.isEmpty() ? QDesktopServices::openUrl(QUrl::fromLocalFile(path))
                                        : QProcess::startDetached(chosen, {path});
  if (!started)
    error = chosen.isEmpty() ? QStringLiteral("No program is set to open PSD files.")
                             : QStringLiteral("\"%1\" could not be started.").arg(chosen);
  return started;
}

bool ExternalEditor::edit(const std::shared_ptr<engine::Document>& doc, QString& error) {
  if (!folder_.isValid()) {
    error = QStringLiteral("No temporary folder could be made.");
    return false;
  }
  const QString path = fileFor(*doc);
  QDir().mkpath(QFileInfo(path).absolutePath());
  try {
    formats::writePsd(doc->content(), path.toStdString());
  } catch (const std::exception& e) {
    error = QString::fromStdString(e.what());
    return false;
  }
  auto found = std::find_if(edits_.begin(), edits_.end(), [&](const Edit& e) { return e.path == path; });
  Edit& edit = found != edits_.end() ? *found : edits_.emplace_back();
  edit.doc = doc;
  edit.path = path;
  watch(edit);
  return launch(path, error);
}

void ExternalEditor::watch(Edit& edit) {
  const QFileInfo info(edit.path);
  edit.stamp = info.lastModified();
  edit.size = info.size();
  if (!watcher_.files().contains(edit.path)) watcher_.addPath(edit.path);
  if (!watcher_.directories().contains(info.absolutePath())) watcher_.addPath(info.absolutePath());
}

void ExternalEditor::readBackChanged() {
  for (Edit& edit : edits_) {
    const QFileInfo info(edit.path);
    const auto doc = edit.doc.lock();
    if (!doc || !info.exists() || (info.lastModified() == edit.stamp && info.size() == edit.size)) continue;
    // A pending transform holds the document; the file is read once it is done.
    if (engine_.pendingEdit) {
      settle_.start();
      return;
    }
    try {
      edits::replaceFromFile(engine_, *doc, edit.path.toStdString());
    } catch (const std::exception& e) {
      // Perhaps still being written: the next change of the file tries again.
      if (failed) failed(QString::fromStdString(e.what()));
      continue;
    }
    watch(edit);
    if (changed) changed();
  }
}

}  // namespace workspace
