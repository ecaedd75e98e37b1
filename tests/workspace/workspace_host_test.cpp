// The engine's host in the program with its real save dialog: the name proposed as a Photoshop
// file, a typed name given the .psd ending, and a cancel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "widget_test_environment.h"
#include "workspace/workspace_host.h"

namespace {

// Answers the next modal dialog once it is shown.
void answerNextDialog(std::function<void(QWidget&)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    answer(*dialog);
  });
  timer->start();
}

}  // namespace

TEST(DataSafety, TheProgramsSaveDialogProposesTheNameAsAPsdFile) {
  QTemporaryDir dir;
  QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
  workspace::WorkspaceHost host(nullptr, settings);
  QString proposed;
  answerNextDialog([&](QWidget& dialog) {
    auto& files = dynamic_cast<QFileDialog&>(dialog);
    proposed = QFileInfo(files.selectedFiles().value(0)).fileName();
    files.setDirectory(dir.path());
    files.selectFile(QStringLiteral("menu"));
    static_cast<QDialog&>(files).accept();  // as the Save button does
  });
  const std::optional<std::string> chosen = host.chooseSavePath("Final MenuCopy.psd");
  EXPECT_EQ(proposed, "Final MenuCopy.psd");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(QString::fromStdString(*chosen), dir.filePath("menu.psd"));

  answerNextDialog([](QWidget& dialog) { dynamic_cast<QDialog&>(dialog).reject(); });
  EXPECT_FALSE(host.chooseSavePath("Final MenuCopy.psd").has_value()) << "a cancel";
}
