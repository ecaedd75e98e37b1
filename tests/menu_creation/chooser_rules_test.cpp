// The chooser's rules about names: thumbnails found by name alone, and renames that keep the
// file's extension and never leave its folder.

#include "menu_creation/dialog/chooser_rules.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

using namespace menu_creation;

TEST(ChooserRules, ThumbnailNamesReplaceTheExtensionWhereverItOccurs) {
  EXPECT_EQ(BackgroundThumbnailName("sunset.bmp"), "sunset.jpg");
  EXPECT_EQ(BackgroundThumbnailName("Sky.JPG"), "Sky.jpg");
  // The last three characters are replaced throughout the name, as the thumbnails were always named.
  EXPECT_EQ(BackgroundThumbnailName("motif.tif"), "mojpg.jpg");
  EXPECT_EQ(BackgroundThumbnailName("photo.jpeg"), "photo.jjpg");
  EXPECT_EQ(BackgroundThumbnailName("ab"), "jpg");

  EXPECT_EQ(TemplateThumbnailName("Blue.psd"), "Blue.jpg");
  EXPECT_EQ(TemplateThumbnailName("Blue.PSD"), "Blue.PSD");
  EXPECT_EQ(TemplateThumbnailName("psd art.psd"), "jpg art.jpg");
}

TEST(ChooserRules, ARenameKeepsTheOldExtension) {
  EXPECT_EQ(RenamedFileName("b.png", "a.jpg"), "b.jpg");
  EXPECT_EQ(RenamedFileName("b", "a.jpg"), "b.jpg");
  EXPECT_EQ(RenamedFileName("b.jpg", "a.jpg"), "b.jpg");
  EXPECT_EQ(RenamedFileName("new sky.v2", "a.jpg"), "new sky.v2.jpg");
  // Longer extensions are kept whole rather than asked for again and again.
  EXPECT_EQ(RenamedFileName("b", "photo.jpeg"), "b.jpeg");
  EXPECT_EQ(RenamedFileName("b.JPEG", "photo.jpeg"), "b.jpeg");
  EXPECT_EQ(RenamedFileName("b", "README"), "b");
  // An empty answer is a cancelled prompt, not a file called ".jpg".
  EXPECT_EQ(RenamedFileName("", "a.jpg"), std::nullopt);
}

TEST(ChooserRules, NamesThatLeaveTheFolderHideTheFileOrReplaceAnotherAreRefused) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QFile(folder.filePath("taken.jpg")).open(QIODevice::WriteOnly);
  QFile::link(folder.filePath("nowhere.jpg"), folder.filePath("dangling.jpg"));

  for (const QString& name :
       {QStringLiteral("../x.jpg"), QStringLiteral("a/b.jpg"), QStringLiteral("a\\b.jpg"), QStringLiteral("..jpg"),
        QStringLiteral("...."), QStringLiteral(".jpg"), QString::fromUtf16(u"a\0b.jpg", 7), QStringLiteral("x..y.jpg")})
    EXPECT_NE(RenameRefusal(folder.path(), name), "") << name.toStdString();
  EXPECT_EQ(RenameRefusal(folder.path(), "taken.jpg"), "A file named \"taken.jpg\" already exists in this folder.");
  EXPECT_NE(RenameRefusal(folder.path(), "dangling.jpg"), "") << "a link is a file of that name too";
  EXPECT_EQ(RenameRefusal(folder.path(), "fresh name.jpg"), "");
}
