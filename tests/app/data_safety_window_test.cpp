// The window's side of keeping the user's work: the engine's dialogs, and the instruction pane's
// file name staying with the text it shows.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/window/engine_host_dialogs.h"
#include "app/window/form1_window.h"
#include "photoshop/object_model.h"
#include "widget_test_environment.h"

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

void writeFile(const QString& path, const QByteArray& data) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(data);
}

}  // namespace

TEST(DataSafety, TheProgramsHostAsksBeforeAChangedDocumentIsClosedAndCancelKeepsIt) {
  photoshop::Application app;
  app::window::EngineHostDialogs host(app.engine(), nullptr);
  photoshop::Document doc = app.Documents().Add(40, 30, 72, "Build Menu");
  doc.ArtLayers().Add();

  QString question;
  answerNextDialog([&](QWidget& dialog) {
    auto& box = dynamic_cast<QMessageBox&>(dialog);
    question = box.text();
    box.button(QMessageBox::Cancel)->click();
  });
  EXPECT_THROW(doc.Close(), photoshop::AutomationError);
  EXPECT_EQ(question, "Save changes to the document \"Build Menu\" before closing?");
  EXPECT_EQ(app.Documents().Count(), 1);

  answerNextDialog([](QWidget& dialog) { dynamic_cast<QMessageBox&>(dialog).button(QMessageBox::Discard)->click(); });
  doc.Close();
  EXPECT_EQ(app.Documents().Count(), 0);
}

TEST(DataSafety, TheProgramsSaveDialogProposesTheNameAsAPsdFile) {
  QTemporaryDir dir;
  photoshop::Application app;
  app::window::EngineHostDialogs host(app.engine(), nullptr);
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

TEST(DataSafety, AFailedLoadLeavesThePaneWithTheFileItsTextCameFrom) {
  QTemporaryDir dir;
  const QString shown = dir.filePath("StateInfo1.rtf"), missing = dir.filePath("StateInfo2.rtf");
  writeFile(shown, "{\\rtf1 Step one\\par}");
  app::window::Form1Window window;
  ASSERT_TRUE(window.LoadInstructionFile(shown.toStdString()).ok());
  EXPECT_FALSE(window.LoadInstructionFile(missing.toStdString()).ok());
  EXPECT_EQ(window.InstructionFileName(), shown.toStdString());

  // "Save RTF" then writes the text back where it came from, not under the other file's name.
  window.SaveInstructionFile(window.InstructionFileName());
  EXPECT_FALSE(QFile::exists(missing));
}
