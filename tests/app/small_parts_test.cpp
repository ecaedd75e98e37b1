// The button count's conversions and where the program finds its data.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "app/program_folder.h"
#include "app/typed_number.h"

using namespace app;

TEST(TypedNumber, KeepsTheTypedTextAndConvertsWhereALoopNeedsIt) {
  TypedNumber count;
  EXPECT_TRUE(count.IsEmpty());
  EXPECT_EQ(count.Text(), "");
  EXPECT_FALSE(count.Number());
  count = std::string(" 6 ");
  EXPECT_EQ(count.Text(), " 6 ");
  EXPECT_EQ(count.Number(), 6.0);
  count = std::string("2.5");
  EXPECT_EQ(count.Int16(), 2) << "half to even";
  count = std::string("3.5");
  EXPECT_EQ(count.Int16(), 4);
  count = std::string("6 buttons");
  EXPECT_FALSE(count.Number());
  count = 10.0;
  EXPECT_EQ(count.Text(), "10");
  count = std::string("99999");
  EXPECT_FALSE(count.Int16());
}

TEST(TypedNumber, TheLeadingNumberOfAText) {
  EXPECT_EQ(LeadingNumber("10"), 10);
  EXPECT_EQ(LeadingNumber("  -7.5e1x"), -75);
  EXPECT_EQ(LeadingNumber("720 px"), 720);
  EXPECT_EQ(LeadingNumber("px720"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("1e999"), 0);
  EXPECT_EQ(LeadingNumber("5e"), 5);
}

TEST(ProgramFolder, BesideTheExecutableOrInTheInstalledDataDirectory) {
  QTemporaryDir dir;
  const QString root = dir.path();
  QDir(root).mkpath("build/app/Resources");
  EXPECT_EQ(ProgramFolderFor((root + "/build/app").toStdString()), (root + "/build/app").toStdString());

  QDir(root).mkpath("usr/bin");
  QDir(root).mkpath("usr/share/quillary/Resources");
  EXPECT_EQ(ProgramFolderFor((root + "/usr/bin").toStdString()), (root + "/usr/share/quillary").toStdString());

  QDir(root).mkpath("elsewhere");
  EXPECT_EQ(ProgramFolderFor((root + "/elsewhere").toStdString()), (root + "/elsewhere").toStdString());
}
