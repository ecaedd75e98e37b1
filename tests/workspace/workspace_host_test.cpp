// The engine's host in the program with its real save dialog: the name proposed as a Photoshop
// file, a typed name given the .psd ending, and a cancel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include "widget_test_environment.h"
#include "workspace/workspace_host.h"

TEST(DataSafety, TheProgramsSaveDialogProposesTheNameAsAPsdFile) {
  QTemporaryDir dir;
  QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
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
