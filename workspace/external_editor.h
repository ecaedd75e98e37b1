#pragma once
// Edit in External Editor: the document is written as a PSD file to a temporary folder and
// opened in the program the user chose (remembered; without one, the desktop's handler for PSD
// files). When that program saves the file, it is read back and replaces the document's
// layers as one history state; the document keeps its name.

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "engine/engine.h"

class QSettings;

namespace workspace {

class ExternalEditor : public QObject {
  Q_OBJECT

 public:
  ExternalEditor(engine::Engine& eng, QSettings& settings, QObject* parent = nullptr);

  // The program to edit with; empty for the desktop's handler.
  QString program() const;
  void setProgram(const QString& program);

  // Writes the document and starts the program on it; false with a message when either fails.
  bool edit(const std::shared_ptr<engine::Document>& doc, QString& error);
  // The file a document is edited in.
  QString fileFor(const engine::Document& doc) const;

  std::function<void()> changed;
  std::function<void(const QString&)> failed;

 private:
  struct Edit {
    std::weak_ptr<engine::Document> doc;
    QString path;
    QDateTime stamp;
    qint64 size = -1;
  };

  void watch(Edit& edit);
  void readBackChanged();
  bool launch(const QString& path, QString& error) const;

  engine::Engine& engine_;
  QSettings& settings_;
  QTemporaryDir folder_;
  QFileSystemWatcher watcher_;
  QTimer settle_;  // editors write in several steps; read once they are done
  std::vector<Edit> edits_;
};

}  // namespace workspace
