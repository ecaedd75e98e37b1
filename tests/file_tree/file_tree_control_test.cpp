#include "file_tree/file_tree_control.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "file_tree/tree_images.h"
#include "widget_test_environment.h"

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using file_tree::FileTreeControl;

const QColor kRed(240, 48, 48), kLight(232, 240, 240), kGrey(224, 224, 216), kGreyText(144, 144, 144);

class FileTreeControlTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

  QString path(const QString& relative = {}) const {
    return relative.isEmpty() ? folder_.path() : folder_.filePath(relative);
  }
  void makeFiles(std::initializer_list<const char*> names) const {
    for (const char* name : names) {
      QDir().mkpath(QFileInfo(path(name)).path());
      QFile(path(name)).open(QIODevice::WriteOnly);
    }
  }
  // Texts of the children of a folder ("" for the top level).
  QStringList texts(const QString& relative = {}) const {
    const QTreeWidgetItem* parent = relative.isEmpty() ? tree_.TreeView1()->invisibleRootItem() : folder(relative);
    QStringList result;
    for (int i = 0; i < parent->childCount(); ++i) result << parent->child(i)->text(0);
    return result;
  }
  QTreeWidgetItem* folder(const QString& relative) const { return tree_.FindNode(path(relative)); }
  QTreeWidgetItem* node(const QString& text) const {
    const auto found = tree_.TreeView1()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }

  QTemporaryDir folder_;
  FileTreeControl tree_;
};

TEST_F(FileTreeControlTest, SubfoldersComeFirstThenFilesEachAlphabetical) {
  makeFiles({"z.jpg", "B.psd", ".hidden.jpg", "sub/x.jpg", "sub/Inner/y.jpg", "sub/a.jpg", "Alpha/w.jpg",
             ".git/config.txt", "ab", "abcd"});
  tree_.SetTopPath(path());
  EXPECT_EQ(texts(), (QStringList{"..\\Alpha", "..\\sub", "ab", "abcd", "B.psd", "z.jpg"}));
  EXPECT_EQ(texts("sub"), (QStringList{"..\\Inner", "a.jpg", "x.jpg"}));
  EXPECT_EQ(FileTreeControl::NodeImage(folder("sub")), "Closed");
  EXPECT_EQ(FileTreeControl::NodeImage(node("z.jpg")), "File");
  EXPECT_EQ(tree_.FindNode("B"), node("B.psd"));
  EXPECT_EQ(tree_.FindNode("b"), nullptr);
  // Names of four characters or fewer have nothing left for a key.
  EXPECT_EQ(FileTreeControl::NodeKey(node("abcd")), "");
  EXPECT_EQ(tree_.TreeView1()->currentItem(), folder("Alpha"));
}

TEST_F(FileTreeControlTest, FilterPathAndDepthLimitTakeEffectAtTheNextBuild) {
  makeFiles({"Preview/a.jpg", "view/c.jpg", "preview/d.jpg", "one/two/three/x.jpg", "top.jpg"});
  tree_.SetTopPath(path());
  tree_.SetFilterPath("Preview");
  tree_.SetMaxRecursionDepth(1);
  EXPECT_EQ(texts().size(), 5);
  EXPECT_EQ(texts("one"), QStringList{"..\\two"});

  tree_.SetTopPath(path());
  // "view" occurs inside "Preview" too; the comparison minds case.
  EXPECT_EQ(texts(), (QStringList{"..\\one", "..\\preview", "top.jpg"}));
  EXPECT_TRUE(texts("one").isEmpty());
  tree_.SetMaxRecursionDepth(3);
  tree_.SetTopPath(path());
  EXPECT_EQ(texts("one/two"), QStringList{"..\\three"});
  EXPECT_TRUE(texts("one/two/three").isEmpty());
}

// A disabled tree is grey, duplicates included, until it is enabled again.
TEST_F(FileTreeControlTest, CollidingNamesAreMarkedRedAndTheirKeyFreedAndAllIsGreyWhileDisabled) {
  // Subfolders are read first: sub1's a.psd takes the key, sub2's a.png collides with it, and
  // the top folder's a.jpg then finds the key free again.
  makeFiles({"a.jpg", "sub1/a.psd", "sub2/a.png", "sub2/logo.jpg", "sub2/logo.psd", "sub2/x.jpg"});
  tree_.SetTopPath(path());
  for (const QString name : {"a.psd", "a.png", "logo.jpg", "logo.psd"}) {
    EXPECT_EQ(FileTreeControl::NodeTag(node(name)), "Duplicate") << name.toStdString();
    EXPECT_EQ(FileTreeControl::NodeKey(node(name)), "") << name.toStdString();
    EXPECT_EQ(FileTreeControl::NodeBackColor(node(name)), kRed) << name.toStdString();
  }
  EXPECT_EQ(FileTreeControl::NodeTag(node("a.jpg")), "");
  EXPECT_EQ(tree_.FindNode("a"), node("a.jpg"));
  EXPECT_EQ(FileTreeControl::NodeBackColor(node("x.jpg")), kLight);

  tree_.SetEnabled(false);
  EXPECT_EQ(tree_.TreeBackColor(), kGrey);
  EXPECT_EQ(tree_.TreeView1()->palette().color(QPalette::Disabled, QPalette::Text), kGreyText);
  EXPECT_EQ(FileTreeControl::NodeBackColor(node("a.png")), kGrey);
  EXPECT_EQ(FileTreeControl::NodeTextColor(node("a.png")), kGreyText);
  tree_.SetTopPath(path());  // rebuilt while disabled
  EXPECT_EQ(FileTreeControl::NodeBackColor(node("a.psd")), kGrey);
  tree_.SetEnabled(true);
  EXPECT_EQ(tree_.TreeBackColor(), kLight);
  EXPECT_EQ(tree_.TreeTextColor(), QColor(Qt::black));
  EXPECT_EQ(FileTreeControl::NodeBackColor(node("a.psd")), kRed);
  // A host's own colour leaves duplicates red and lasts until the next build.
  tree_.SetBackgroundColor(QColor(10, 20, 30));
  EXPECT_EQ(FileTreeControl::NodeBackColor(node("x.jpg")), QColor(10, 20, 30));
  EXPECT_EQ(FileTreeControl::NodeBackColor(node("a.png")), kRed);
  tree_.SetTopPath(path());
  EXPECT_EQ(FileTreeControl::NodeBackColor(node("x.jpg")), kLight);

  // The chooser renames a file by giving its node a free key.
  EXPECT_FALSE(tree_.SetNodeKey(node("x.jpg"), "a"));
  EXPECT_TRUE(tree_.SetNodeKey(node("x.jpg"), "renamed"));
  EXPECT_EQ(tree_.FindNode("renamed"), node("x.jpg"));
  EXPECT_EQ(tree_.FindNode("x"), nullptr);
}

TEST_F(FileTreeControlTest, ClickOnAFileGivesItsFolderAndDuplicateFlag) {
  makeFiles({"top.jpg", "sub/inner.psd", "sub/dup.jpg", "dup.psd"});
  QStringList clicks;
  QObject::connect(&tree_, &FileTreeControl::Click,
                   [&](QTreeWidgetItem* clicked, const QString& filePath, const QString& fileName, bool duplicate) {
                     EXPECT_EQ(clicked, node(fileName));
                     clicks << filePath + "/" + fileName + (duplicate ? " duplicate" : "");
                   });
  tree_.resize(300, 400);
  tree_.show();
  tree_.SetTopPath(path());
  QTreeWidget* view = tree_.TreeView1();
  const auto clickOn = [view](QTreeWidgetItem* item) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
  };
  clickOn(folder("sub"));
  view->expandItem(folder("sub"));
  EXPECT_EQ(FileTreeControl::NodeImage(folder("sub")), "Opened");
  for (const QString name : {"inner.psd", "dup.jpg", "top.jpg"}) clickOn(node(name));
  view->collapseItem(folder("sub"));
  EXPECT_EQ(FileTreeControl::NodeImage(folder("sub")), "Closed");
  EXPECT_EQ(clicks, (QStringList{path("sub/inner.psd"), path("sub/dup.jpg") + " duplicate", path("top.jpg")}));
}

TEST_F(FileTreeControlTest, MissingFoldersGiveAnEmptyTreeAndLinkLoopsEnd) {
  for (const QString& missing : {path("none"), QString()}) {
    tree_.SetTopPath(missing);
    EXPECT_EQ(tree_.TreeView1()->topLevelItemCount(), 0);
  }
  makeFiles({"a/file.jpg"});
  ASSERT_TRUE(QFile::link(path("a"), path("a/again")));
  ASSERT_TRUE(QFile::link(path(), path("a/top")));
  tree_.SetMaxRecursionDepth(1000);
  tree_.SetTopPath(path());
  EXPECT_EQ(texts("a"), (QStringList{"..\\again", "..\\top", "file.jpg"}));
  EXPECT_TRUE(texts("a/again").isEmpty());
  EXPECT_TRUE(texts("a/top").isEmpty());
}

TEST_F(FileTreeControlTest, UnreadableFolderKeepsWhatCouldBeListed) {
  makeFiles({"locked/secret.jpg", "open/seen.jpg"});
  QFile::setPermissions(path("locked"), QFileDevice::Permissions());
  const bool locked = !QDir(path("locked")).isReadable();
  tree_.SetTopPath(path());
  QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  if (!locked) GTEST_SKIP() << "permissions do not stop this user from reading a folder";
  EXPECT_EQ(texts(), (QStringList{"..\\locked", "..\\open"}));
  EXPECT_TRUE(texts("locked").isEmpty());
  EXPECT_EQ(texts("open"), QStringList{"seen.jpg"});
}

TEST(TreeImages, SixteenPixelPicturesWithTheMaskColourTransparent) {
  const auto images = file_tree::MakeTreeImages();
  ASSERT_EQ(images.size(), 3);
  for (const QString key : {"Closed", "Opened", "File"}) {
    const QImage image = images.value(key).pixmap(16, 16).toImage();
    EXPECT_EQ(image.size(), QSize(16, 16)) << key.toStdString();
    EXPECT_EQ(image.pixelColor(0, 15).alpha(), 0) << key.toStdString();
    EXPECT_EQ(image.pixelColor(7, 9).alpha(), 255) << key.toStdString();
  }
}

}  // namespace
