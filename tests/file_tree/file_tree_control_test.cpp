#include "file_tree/file_tree_control.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "file_tree/tree_images.h"
#include "widget_test_environment.h"

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using file_tree::FileTreeControl;

struct ClickReport {
  QTreeWidgetItem* node;
  QString FilePath;
  QString FileName;
  bool DuplicateFileName;
};

class FileTreeControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    tree_ = std::make_unique<FileTreeControl>();
    QObject::connect(tree_.get(), &FileTreeControl::Click, tree_.get(),
                     [this](QTreeWidgetItem* node, const QString& path, const QString& name, bool duplicate) {
                       clicks_.push_back({node, path, name, duplicate});
                     });
  }

  QString path(const QString& relative = {}) const { return relative.isEmpty() ? folder_.path() : folder_.filePath(relative); }

  void makeFile(const QString& relative) const {
    QDir().mkpath(QFileInfo(path(relative)).path());
    QFile file(path(relative));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  void makeFolder(const QString& relative) const { ASSERT_TRUE(QDir().mkpath(path(relative))); }

  QStringList texts(const QTreeWidgetItem* parent = nullptr) const {
    QStringList result;
    const int count = parent ? parent->childCount() : tree_->TreeView1()->topLevelItemCount();
    for (int i = 0; i < count; ++i)
      result << (parent ? parent->child(i) : tree_->TreeView1()->topLevelItem(i))->text(0);
    return result;
  }
  QTreeWidgetItem* folderNode(const QString& relative) const { return tree_->FindNode(path(relative)); }
  // The first node with this text anywhere in the tree.
  QTreeWidgetItem* nodeWithText(const QString& text) const {
    const auto found = tree_->TreeView1()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }

  void clickOn(QTreeWidgetItem* node) {
    QTreeWidget* view = tree_->TreeView1();
    view->scrollToItem(node);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(node).center());
  }

  QTemporaryDir folder_;
  std::unique_ptr<FileTreeControl> tree_;
  std::vector<ClickReport> clicks_;
};

TEST_F(FileTreeControlTest, FilesOfTheTopFolderBecomeTopLevelNodes) {
  for (const char* name : {"b.jpg", "A.psd", "c.png", ".hidden.jpg"}) makeFile(name);
  tree_->SetTopPath(path());
  EXPECT_EQ(texts(), (QStringList{"A.psd", "b.jpg", "c.png"}));
  QTreeWidgetItem* first = tree_->TreeView1()->topLevelItem(0);
  EXPECT_EQ(FileTreeControl::NodeKey(first), "A");
  EXPECT_EQ(FileTreeControl::NodeImage(first), "File");
  EXPECT_EQ(FileTreeControl::NodeTag(first), "");
  EXPECT_EQ(tree_->FindNode("b")->text(0), "b.jpg");
  EXPECT_EQ(tree_->FindNode("B"), nullptr);
  EXPECT_EQ(tree_->TreeView1()->currentItem(), first);
}

TEST_F(FileTreeControlTest, SubfoldersComeBeforeFilesInEveryFolder) {
  for (const char* name : {"z.jpg", "sub/x.jpg", "sub/Inner/y.jpg", "sub/a.jpg", "Alpha/w.jpg", ".git/config.txt"})
    makeFile(name);
  tree_->SetTopPath(path());
  EXPECT_EQ(texts(), (QStringList{"..\\Alpha", "..\\sub", "z.jpg"}));
  QTreeWidgetItem* sub = folderNode("sub");
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->text(0), "..\\sub");
  EXPECT_EQ(FileTreeControl::NodeImage(sub), "Closed");
  EXPECT_EQ(texts(sub), (QStringList{"..\\Inner", "a.jpg", "x.jpg"}));
  EXPECT_EQ(texts(folderNode("sub/Inner")), QStringList{"y.jpg"});
}

TEST_F(FileTreeControlTest, FilterPathLeavesOutFoldersNamedInsideIt) {
  for (const char* name : {"Preview/a.jpg", "Preview/deeper/b.jpg", "view/c.jpg", "preview/d.jpg", "Other/e.jpg"})
    makeFile(name);
  tree_->SetTopPath(path());
  EXPECT_EQ(texts(), (QStringList{"..\\Other", "..\\Preview", "..\\preview", "..\\view"}));

  // Nothing changes until the tree is built again.
  tree_->SetFilterPath("Preview");
  EXPECT_EQ(tree_->TreeView1()->topLevelItemCount(), 4);
  tree_->SetTopPath(path());
  // "view" occurs inside "Preview" too; the comparison minds case.
  EXPECT_EQ(texts(), (QStringList{"..\\Other", "..\\preview"}));
  EXPECT_EQ(nodeWithText("b.jpg"), nullptr);
}

TEST_F(FileTreeControlTest, DepthLimitLeavesDeeperFoldersEmpty) {
  for (const char* name : {"top.jpg", "one/one.jpg", "one/two/two.jpg", "one/two/three/three.jpg"}) makeFile(name);
  tree_->SetMaxRecursionDepth(1);
  tree_->SetTopPath(path());
  EXPECT_EQ(texts(), (QStringList{"..\\one", "top.jpg"}));
  EXPECT_EQ(folderNode("one")->childCount(), 0);

  EXPECT_EQ(FileTreeControl().MaxRecursionDepth(), 3);
  tree_->SetMaxRecursionDepth(3);
  tree_->SetTopPath(path());
  EXPECT_EQ(texts(folderNode("one/two")), (QStringList{"..\\three", "two.jpg"}));
  EXPECT_EQ(folderNode("one/two/three")->childCount(), 0);
}

TEST_F(FileTreeControlTest, CollidingNamesAreMarkedAndTheirKeyFreed) {
  // Subfolders are read first: sub1's a.psd takes the key, sub2's a.png collides with it, and
  // the top folder's a.jpg then finds the key free again.
  for (const char* name : {"a.jpg", "sub1/a.psd", "sub2/a.png", "sub2/logo.jpg", "sub2/logo.psd", "sub2/x.jpg"})
    makeFile(name);
  tree_->SetTopPath(path());
  QTreeWidgetItem* sub1File = folderNode("sub1")->child(0);
  QTreeWidgetItem* sub2File = folderNode("sub2")->child(0);
  QTreeWidgetItem* topFile = tree_->TreeView1()->topLevelItem(2);
  ASSERT_EQ(sub1File->text(0), "a.psd");
  ASSERT_EQ(sub2File->text(0), "a.png");
  ASSERT_EQ(topFile->text(0), "a.jpg");

  const QColor red(240, 48, 48);
  for (QTreeWidgetItem* duplicate : {sub1File, sub2File, nodeWithText("logo.jpg"), nodeWithText("logo.psd")}) {
    EXPECT_EQ(FileTreeControl::NodeTag(duplicate), "Duplicate") << duplicate->text(0).toStdString();
    EXPECT_EQ(FileTreeControl::NodeKey(duplicate), "") << duplicate->text(0).toStdString();
    EXPECT_EQ(FileTreeControl::NodeBackColor(duplicate), red) << duplicate->text(0).toStdString();
  }
  EXPECT_EQ(FileTreeControl::NodeTag(topFile), "");
  EXPECT_EQ(tree_->FindNode("a"), topFile);
  EXPECT_EQ(tree_->FindNode("logo"), nullptr);
  EXPECT_EQ(FileTreeControl::NodeBackColor(nodeWithText("x.jpg")), QColor(232, 240, 240));
  EXPECT_EQ(tree_->TreeBackColor(), QColor(232, 240, 240));
}

TEST_F(FileTreeControlTest, ShortNamesAreShownWithoutAKey) {
  for (const char* name : {"ab", "abcd", "sub/ab", "abcde"}) makeFile(name);
  tree_->SetTopPath(path());
  EXPECT_EQ(texts(), (QStringList{"..\\sub", "ab", "abcd", "abcde"}));
  EXPECT_EQ(FileTreeControl::NodeKey(nodeWithText("abcd")), "");
  EXPECT_EQ(FileTreeControl::NodeTag(folderNode("sub")->child(0)), "");
  EXPECT_EQ(tree_->FindNode("a"), nodeWithText("abcde"));
  EXPECT_EQ(tree_->FindNode(""), nullptr);
}

TEST_F(FileTreeControlTest, DisabledTreeIsGreyIncludingDuplicates) {
  for (const char* name : {"a.jpg", "a.psd", "b.jpg"}) makeFile(name);
  tree_->SetTopPath(path());
  const QColor grey(224, 224, 216), greyText(144, 144, 144), red(240, 48, 48);

  tree_->SetEnabled(false);
  EXPECT_FALSE(tree_->Enabled());
  EXPECT_EQ(tree_->TreeBackColor(), grey);
  EXPECT_EQ(tree_->TreeTextColor(), greyText);
  EXPECT_EQ(tree_->TreeView1()->palette().color(QPalette::Disabled, QPalette::Text), greyText);
  for (QTreeWidgetItem* node : {nodeWithText("a.jpg"), nodeWithText("b.jpg")}) {
    EXPECT_EQ(FileTreeControl::NodeBackColor(node), grey);
    EXPECT_EQ(FileTreeControl::NodeTextColor(node), greyText);
  }
  // Building the tree again while disabled keeps it grey.
  tree_->SetTopPath(path());
  EXPECT_EQ(FileTreeControl::NodeBackColor(nodeWithText("a.psd")), grey);

  tree_->SetEnabled(true);
  EXPECT_EQ(tree_->TreeBackColor(), QColor(232, 240, 240));
  EXPECT_EQ(tree_->TreeTextColor(), QColor(Qt::black));
  EXPECT_EQ(FileTreeControl::NodeBackColor(nodeWithText("a.psd")), red);
  EXPECT_EQ(FileTreeControl::NodeTextColor(nodeWithText("a.psd")), QColor(Qt::black));

  // A host's own colour leaves duplicates red and is dropped at the next rebuild.
  tree_->SetBackgroundColor(QColor(10, 20, 30));
  EXPECT_EQ(FileTreeControl::NodeBackColor(nodeWithText("b.jpg")), QColor(10, 20, 30));
  EXPECT_EQ(FileTreeControl::NodeBackColor(nodeWithText("a.jpg")), red);
  tree_->SetTopPath(path());
  EXPECT_EQ(FileTreeControl::NodeBackColor(nodeWithText("b.jpg")), QColor(232, 240, 240));
}

TEST_F(FileTreeControlTest, ClickOnAFileReportsItsFolder) {
  for (const char* name : {"top.jpg", "sub/inner.psd", "sub/dup.jpg", "dup.psd"}) makeFile(name);
  tree_->resize(300, 400);
  tree_->show();
  tree_->SetTopPath(path());
  QTreeWidgetItem* sub = folderNode("sub");

  clickOn(sub);
  EXPECT_TRUE(clicks_.empty());

  tree_->TreeView1()->expandItem(sub);
  EXPECT_EQ(FileTreeControl::NodeImage(sub), "Opened");
  clickOn(nodeWithText("inner.psd"));
  clickOn(nodeWithText("dup.jpg"));
  clickOn(nodeWithText("top.jpg"));
  tree_->TreeView1()->collapseItem(sub);
  EXPECT_EQ(FileTreeControl::NodeImage(sub), "Closed");

  ASSERT_EQ(clicks_.size(), 3u);
  EXPECT_EQ(clicks_[0].node, nodeWithText("inner.psd"));
  EXPECT_EQ(clicks_[0].FilePath, path("sub"));
  EXPECT_EQ(clicks_[0].FileName, "inner.psd");
  EXPECT_FALSE(clicks_[0].DuplicateFileName);
  EXPECT_TRUE(QFileInfo::exists(clicks_[0].FilePath + "/" + clicks_[0].FileName));
  EXPECT_TRUE(clicks_[1].DuplicateFileName);
  EXPECT_EQ(clicks_[2].FilePath, tree_->TopPath());
  EXPECT_EQ(clicks_[2].FileName, "top.jpg");
}

TEST_F(FileTreeControlTest, MissingOrUnreadableFoldersGiveWhatCouldBeListed) {
  tree_->SetTopPath(path("does-not-exist"));
  EXPECT_EQ(tree_->TreeView1()->topLevelItemCount(), 0);
  makeFile("plain.jpg");
  tree_->SetTopPath(path("plain.jpg"));
  EXPECT_EQ(tree_->TreeView1()->topLevelItemCount(), 0);
  tree_->SetTopPath(QString());
  EXPECT_EQ(tree_->TreeView1()->topLevelItemCount(), 0);

  makeFile("locked/secret.jpg");
  makeFile("open/seen.jpg");
  QFile::setPermissions(path("locked"), QFileDevice::Permissions());
  const bool locked = !QDir(path("locked")).isReadable();
  tree_->SetTopPath(path());
  QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_EQ(texts(), (QStringList{"..\\locked", "..\\open", "plain.jpg"}));
  EXPECT_EQ(texts(folderNode("open")), QStringList{"seen.jpg"});
  if (!locked) GTEST_SKIP() << "permissions do not stop this user from reading a folder";
  EXPECT_EQ(folderNode("locked")->childCount(), 0);
}

TEST_F(FileTreeControlTest, SymbolicLinkLoopIsNotFollowedIntoItself) {
  makeFile("a/file.jpg");
  ASSERT_TRUE(QFile::link(path("a"), path("a/again")));
  ASSERT_TRUE(QFile::link(path(), path("a/top")));
  tree_->SetMaxRecursionDepth(1000);
  tree_->SetTopPath(path());
  EXPECT_EQ(texts(folderNode("a")), (QStringList{"..\\again", "..\\top", "file.jpg"}));
  EXPECT_EQ(folderNode("a/again")->childCount(), 0);
  EXPECT_EQ(folderNode("a/top")->childCount(), 0);
}

TEST_F(FileTreeControlTest, NodeKeyCanBeChangedOnlyToAFreeKey) {
  for (const char* name : {"one.jpg", "two.jpg"}) makeFile(name);
  tree_->SetTopPath(path());
  QTreeWidgetItem* one = tree_->FindNode("one");
  EXPECT_FALSE(tree_->SetNodeKey(one, "two"));
  EXPECT_EQ(FileTreeControl::NodeKey(one), "one");
  EXPECT_TRUE(tree_->SetNodeKey(one, "renamed"));
  EXPECT_EQ(tree_->FindNode("renamed"), one);
  EXPECT_EQ(tree_->FindNode("one"), nullptr);
}

TEST(TreeImages, ThreeSixteenPixelPicturesWithTheMaskColourTransparent) {
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
