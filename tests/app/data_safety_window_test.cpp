// The window's side of keeping the user's work: the instruction pane's file name stays with the
// text it shows.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/window/form1_window.h"
#include "widget_test_environment.h"

TEST(DataSafety, AFailedLoadLeavesThePaneWithTheFileItsTextCameFrom) {
  QTemporaryDir dir;
  const QString shown = dir.filePath("StateInfo1.rtf"), missing = dir.filePath("StateInfo2.rtf");
  QFile file(shown);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("{\\rtf1 Step one\\par}");
  file.close();
  app::window::Form1Window window;
  ASSERT_TRUE(window.LoadInstructionFile(shown.toStdString()).ok());
  EXPECT_FALSE(window.LoadInstructionFile(missing.toStdString()).ok());
  EXPECT_EQ(window.InstructionFileName(), shown.toStdString());

  // "Save RTF" then writes the text back where it came from, not under the other file's name.
  window.SaveInstructionFile(window.InstructionFileName());
  EXPECT_FALSE(QFile::exists(missing));
}
