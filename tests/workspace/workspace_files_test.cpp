// The workspace's files and its host: the close prompt, the save dialog that a save with
// dialogs shows, Save As and Export PNG.

#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QTabBar>

#include "formats/document_io.h"
#include "photoshop/action_operations.h"
#include "workspace/workspace_host.h"
#include "workspace_fixture.h"

using workspace_test::WorkspaceTest;

TEST_F(WorkspaceTest, ClosingAModifiedDocumentAsksAndCancelKeepsItOpen) {
  QStringList asked;
  QMessageBox::StandardButton answer = QMessageBox::Cancel;
  workspace.host().savePrompt = [&](const QString& text) {
    asked << text;
    return answer;
  };
  EXPECT_FALSE(workspace.closeActive());
  EXPECT_EQ(asked, QStringList{QStringLiteral("Save changes to the document \"Build Menu\" before closing?")});
  EXPECT_EQ(app.Documents().Count(), 1);
  EXPECT_EQ(workspace.tabs().count(), 1);

  answer = QMessageBox::Discard;
  EXPECT_TRUE(workspace.closeActive());
  EXPECT_EQ(app.Documents().Count(), 0);
  EXPECT_EQ(workspace.tabs().count(), 0);
}

TEST_F(WorkspaceTest, ASaveWithDialogsWritesTheChosenFileAndACancelWritesNothing) {
  settings.setValue(QStringLiteral("Workspace/LastFolder"), dir.path());
  QStringList proposed;
  QString answer;
  workspace.host().saveDialog = [&](const QString& path) {
    proposed << path;
    return answer;
  };
  EXPECT_THROW(photoshop::SaveAsPSD(app, "Final Menu"), photoshop::AutomationError);
  EXPECT_EQ(proposed, QStringList{dir.filePath(QStringLiteral("Final Menu.psd"))});
  EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.psd")}).isEmpty());

  const QString sub = dir.filePath(QStringLiteral("menus"));
  QDir().mkpath(sub);
  answer = sub + QStringLiteral("/final.psd");
  photoshop::SaveAsPSD(app, "Final Menu");
  EXPECT_TRUE(QFileInfo::exists(answer));
  EXPECT_EQ(formats::readPsd(answer.toStdString()).content.layers.size(), 3u);
  // The next dialog starts where this one ended.
  answer.clear();
  EXPECT_THROW(photoshop::SaveAsPSD(app, "Final Menu"), photoshop::AutomationError);
  EXPECT_EQ(proposed.last(), sub + QStringLiteral("/Final Menu.psd"));
}

TEST_F(WorkspaceTest, SaveAsWritesAPsdTheDocumentTakesTheNameOfAndExportWritesTheComposite) {
  const QString psd = dir.filePath(QStringLiteral("menu.psd"));
  ASSERT_TRUE(workspace.saveTo(psd));
  EXPECT_EQ(doc.Name(), "menu.psd");
  EXPECT_TRUE(doc.Saved());
  EXPECT_EQ(workspace.tabs().tabText(0), QStringLiteral("menu.psd"));

  const QString png = dir.filePath(QStringLiteral("menu.png"));
  ASSERT_TRUE(workspace.exportPng(png, false));
  const QImage composite(png);
  EXPECT_EQ(composite.size(), QSize(120, 80));
  EXPECT_EQ(composite.pixelColor(15, 15), QColor(200, 0, 0));
  EXPECT_EQ(composite.pixelColor(100, 70), QColor(Qt::white));

  const QString layerPng = dir.filePath(QStringLiteral("face.png"));
  ASSERT_TRUE(workspace.exportPng(layerPng, true));
  const QImage layer(layerPng);
  EXPECT_EQ(layer.pixelColor(15, 15), QColor(200, 0, 0));
  EXPECT_EQ(layer.pixelColor(100, 70).alpha(), 0);
}

TEST_F(WorkspaceTest, OpeningAFileAddsATabAndABadFileIsRefusedWithAMessage) {
  const QString psd = dir.filePath(QStringLiteral("copy.psd"));
  formats::writePsd(engine().content(), psd.toStdString());
  ASSERT_TRUE(workspace.openFile(psd));
  EXPECT_EQ(workspace.tabs().count(), 2);
  EXPECT_EQ(workspace.tabs().tabText(1), QStringLiteral("copy.psd"));

  QFile bad(dir.filePath(QStringLiteral("bad.psd")));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("8BPS not really");
  bad.close();
  EXPECT_FALSE(workspace.openFile(bad.fileName()));
  EXPECT_EQ(workspace.tabs().count(), 2);
}

// The engine's host with the program's real save dialog: the name proposed as a Photoshop file, a
// typed name given the .psd ending, and a cancel.
TEST_F(WorkspaceTest, TheProgramsSaveDialogProposesTheNameAsAPsdFile) {
  workspace::WorkspaceHost host(nullptr, settings);
  QString proposed;
  quillary_test::answerNextDialog([&](QDialog& dialog) {
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

  quillary_test::answerNextDialog([](QDialog& dialog) { dialog.reject(); });
  EXPECT_FALSE(host.chooseSavePath("Final MenuCopy.psd").has_value()) << "a cancel";
}
