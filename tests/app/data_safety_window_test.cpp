// The window's side of keeping the user's work: the instruction pane's file name stays with the
// text it shows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "app/window/form1_window.h"
#include "widget_test_environment.h"

namespace {

void writeFile(const QString& path, const QByteArray& data) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(data);
}

}  // namespace

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
